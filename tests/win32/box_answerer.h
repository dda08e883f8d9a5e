// Answers the program's message boxes as a user would, and remembers their text.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

namespace pelnoro {

class BoxAnswerer {
 public:
  BoxAnswerer() : thread_([this] { run(); }) {}
  ~BoxAnswerer() {
    stop_ = true;
    thread_.join();
  }
  std::wstring lastText() {
    std::lock_guard<std::mutex> lock(mutex_);
    return last_;
  }
  std::wstring lastTitle() {
    std::lock_guard<std::mutex> lock(mutex_);
    return title_;
  }

 private:
  void run() {
    while (!stop_) {
      if (HWND box = FindWindowW(L"#32770", nullptr)) {
        wchar_t text[512] = {}, title[128] = {};
        // The box may be found before its text is in place.
        if (!IsWindowVisible(box) || GetDlgItemTextW(box, 0xFFFF, text, 512) == 0) {
          Sleep(20);
          continue;
        }
        GetWindowTextW(box, title, 128);
        {
          std::lock_guard<std::mutex> lock(mutex_);
          last_ = text;
          title_ = title;
        }
        PostMessageW(box, WM_COMMAND, IDOK, 0);
      }
      Sleep(50);
    }
  }
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::wstring last_, title_;
  std::thread thread_;
};

}  // namespace pelnoro
