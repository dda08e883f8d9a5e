// Gives each control of a form its Win32 peer.
#pragma once

#include "toolkit/peer_factory.h"

namespace pelnoro::win32 {

class Win32PeerFactory : public tk::PeerFactory {
 public:
  Win32PeerFactory(double tppX, double tppY) : tppX_(tppX), tppY_(tppY) {}
  void realise(tk::Form& form) override;

 private:
  double tppX_, tppY_;
};

}  // namespace pelnoro::win32
