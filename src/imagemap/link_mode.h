// Link mode of the clickable-map authoring.
#pragma once

#include "program/app_state.h"

namespace pelnoro::imagemap {

class LinkMode {
 public:
  explicit LinkMode(program::AppState& state) : state_(state) {}
  void StartLinkSetting();
  void FinishLinkSetting();

 private:
  program::AppState& state_;
};

}  // namespace pelnoro::imagemap
