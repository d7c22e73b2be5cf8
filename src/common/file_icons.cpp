#include "common/file_icons.h"

#include <cstdint>
#include <optional>

namespace veldrask {

FileIcons::FileIcons(Shell& shell, PictureBox& smallPicture, PictureBox& largePicture,
                     ImageList& smallImages, ImageList& largeImages)
    : shell_(shell),
      smallPicture_(smallPicture),
      largePicture_(largePicture),
      smallImages_(smallImages),
      largeImages_(largeImages) {}

std::string FileIcons::AddFileIcon(const std::string& path, std::string_view key) {
  const std::optional<FileInfo> info = shell_.GetFileInfo(path);
  DrawAndKeep(info ? &info->smallIcon : nullptr, key, smallPicture_, smallImages_);
  DrawAndKeep(info ? &info->largeIcon : nullptr, key, largePicture_, largeImages_);
  return info ? info->typeName : std::string();
}

void FileIcons::DrawAndKeep(const Picture* icon, std::string_view key, PictureBox& surface,
                            ImageList& images) {
  surface.ClearPicture();
  if (icon != nullptr && !icon->Empty()) surface.DrawIcon(*icon);
  if (IsNewImageKey(images, key)) images.Add(key, surface.Snapshot());
}

bool FileIcons::IsNewImageKey(const ImageList& list, std::string_view key) {
  for (std::int32_t index = 1; index <= list.Count(); ++index) {
    if (list.Key(index) == key) return false;
  }
  return true;
}

}  // namespace veldrask
