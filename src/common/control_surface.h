#pragma once

#include <memory>

#include "platform/ui.h"

namespace veldrask {

// The control's surface: the upload screen in MainFrame, the download screen in DNMainFrame,
// the two drawing surfaces, the two image lists and the file dialog, as named widgets with
// their designed captions and twip positions. The form owns the widgets; the references
// stay valid as long as the surface lives.
struct ControlSurface {
  std::unique_ptr<Form> form;

  // Upload screen.
  Widget& mainFrame;
  ListView& uploadFileList;
  Widget& optLargeIcon;
  Widget& optSmallIcon;
  Widget& optList;
  Widget& optReport;
  Widget& cmdAdd;
  Widget& cmdDelete;
  Widget& lblTotalFileCount;
  Widget& lblTotalFileSize;
  Widget& lblRemainFileSize;

  // Download screen.
  Widget& dnMainFrame;
  ListView& downloadFileList;
  Widget& cmdDownload;
  Widget& lblDownloadFolder;
  Widget& cmdFolderView;
  Widget& cmdSelFolder;
  Widget& lblDNTotalFileCount;
  Widget& lblDNTotalFileSize;
  Widget& chkDupFile;

  // Shared.
  PictureBox& largePicture;
  PictureBox& smallPicture;
  ImageList& largeIconImageList;
  ImageList& smallIconImageList;
  FileDialog& comOpen;
};

// Builds the surface with every widget as designed; captions that start-up sets are left at
// their design texts.
std::unique_ptr<ControlSurface> BuildControlSurface(Ui& ui);

// The widgets that the screen switch shows and hides, each in its order.
void SetUploadScreenVisible(const Form& form, bool visible);
void SetDownloadScreenVisible(const Form& form, bool visible);

}  // namespace veldrask
