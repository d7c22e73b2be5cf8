#include "queue/file_icons.h"

#include <cstdint>

namespace veldrask {

FileIcons::FileIcons(Shell& shell, PictureBox& smallPicture, PictureBox& largePicture,
                     ImageList& smallImages, ImageList& largeImages)
    : shell_(shell),
      smallPicture_(smallPicture),
      largePicture_(largePicture),
      smallImages_(smallImages),
      largeImages_(largeImages) {}

std::string FileIcons::AddFileIcon(const std::string& path, std::string_view key) {
  const std::optional<FileInfo> small =
      DrawAndKeep(path, key, IconSize::kSmall, smallPicture_, smallImages_);
  DrawAndKeep(path, key, IconSize::kLarge, largePicture_, largeImages_);
  return small ? small->typeName : std::string();
}

std::optional<FileInfo> FileIcons::DrawAndKeep(const std::string& path, std::string_view key,
                                               IconSize size, PictureBox& surface,
                                               ImageList& images) {
  surface.ClearPicture();
  std::optional<FileInfo> info = shell_.GetFileInfo(path, size);
  if (info && !info->icon.Empty()) surface.DrawIcon(info->icon);
  if (IsNewImageKey(images, key)) images.Add(key, surface.Snapshot());
  return info;
}

bool FileIcons::IsNewImageKey(const ImageList& list, std::string_view key) {
  for (std::int32_t index = 1; index <= list.Count(); ++index) {
    if (list.Key(index) == key) return false;
  }
  return true;
}

}  // namespace veldrask
