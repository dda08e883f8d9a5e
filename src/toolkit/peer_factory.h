// Gives a form and all its controls their native peers (the Win32 layer has
// one); a program without a factory runs headless.
#pragma once

namespace pelnoro::tk {

class Form;

class PeerFactory {
 public:
  virtual ~PeerFactory() = default;
  virtual void realise(Form& form) = 0;
};

}  // namespace pelnoro::tk
