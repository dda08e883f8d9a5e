// Where the link-target dialog's preview box shows a picture: fitted into
// 200 x 150 pixels, centred on (476, 107).
#pragma once

namespace pelnoro::imagemap {

struct PreviewFit {
  int width = 0;   // t
  int height = 0;  // u
  double left = 0;
  double top = 0;
};

// naturalWidth x naturalHeight: the picture's own size in pixels.
PreviewFit FitPreview(int naturalWidth, int naturalHeight);

// The whole factor the preview's copy of the picture is shrunk by: the largest that
// leaves it at least twice the fitted size on both axes (1: kept as it is).
int PreviewShrink(int naturalWidth, int naturalHeight, const PreviewFit& fit);

}  // namespace pelnoro::imagemap
