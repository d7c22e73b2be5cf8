#pragma once

#include <string>
#include <string_view>

#include "platform/shell.h"
#include "platform/ui.h"

namespace veldrask {

// The shell's icons and type names for listed files. The two image lists hold one small and
// one large picture per extension key, so list rows share their pictures instead of keeping
// one each; the first file that brings a key decides its pictures. The picture boxes are
// scratch surfaces: the shell's icon is drawn there and the drawing is what a list keeps.
class FileIcons {
 public:
  FileIcons(Shell& shell, PictureBox& smallPicture, PictureBox& largePicture,
            ImageList& smallImages, ImageList& largeImages);

  // Draws the file's small and then its large icon and stores each under key in its image
  // list unless the list already has the key; returns the shell's type name ("" when the
  // shell knows nothing of the path, whose key then keeps a blank picture). The shell is
  // asked once on every call, so the type name follows the file even when its key is known.
  std::string AddFileIcon(const std::string& path, std::string_view key);

  // True when no picture of list has exactly this key (letter case counts).
  static bool IsNewImageKey(const ImageList& list, std::string_view key);

 private:
  // Draws icon (none: a blank picture) and stores the drawing when the key is new.
  void DrawAndKeep(const Picture* icon, std::string_view key, PictureBox& surface,
                   ImageList& images);

  Shell& shell_;
  PictureBox& smallPicture_;
  PictureBox& largePicture_;
  ImageList& smallImages_;
  ImageList& largeImages_;
};

}  // namespace veldrask
