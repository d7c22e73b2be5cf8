#include "common/control_surface.h"

#include <array>
#include <string_view>

namespace veldrask {
namespace {

struct WidgetDesign {
  WidgetKind kind;
  std::string_view name;
  std::string_view container;
  std::string_view caption;
  Bounds bounds;
};

// Upload screen, inside MainFrame.
constexpr std::array kUploadScreen = {
    WidgetDesign{
        WidgetKind::kFrame, "TypeFrame", "MainFrame", "보기 형식", {7860, 165, 1560, 1545}},
    WidgetDesign{
        WidgetKind::kOptionButton, "OptLargeIcon", "TypeFrame", "큰 아이콘", {90, 180, 1275, 315}},
    WidgetDesign{WidgetKind::kOptionButton,
                 "OptSmallIcon",
                 "TypeFrame",
                 "작은 아이콘",
                 {90, 510, 1275, 315}},
    WidgetDesign{WidgetKind::kOptionButton, "OptList", "TypeFrame", "목록", {90, 870, 1275, 315}},
    WidgetDesign{
        WidgetKind::kOptionButton, "OptReport", "TypeFrame", "자세히", {90, 1185, 1275, 315}},
    WidgetDesign{WidgetKind::kButton, "cmdAdd", "MainFrame", "추가", {7875, 1725, 1530, 435}},
    WidgetDesign{WidgetKind::kButton, "cmdDelete", "MainFrame", "삭제", {7875, 2190, 1530, 420}},
    WidgetDesign{WidgetKind::kRectangle, "shapeFileCount", "MainFrame", "", {45, 2235, 2610, 375}},
    WidgetDesign{
        WidgetKind::kLabel, "lblFileCount", "MainFrame", "파일 갯수 : ", {120, 2325, 960, 180}},
    WidgetDesign{WidgetKind::kLabel,
                 "lblTotalFileCount",
                 "MainFrame",
                 "0 개 (최대 0 개)",
                 {1080, 2325, 1290, 180}},
    WidgetDesign{
        WidgetKind::kRectangle, "shapeCurrFileSize", "MainFrame", "", {2640, 2235, 2610, 375}},
    WidgetDesign{WidgetKind::kLabel,
                 "lblFileSize",
                 "MainFrame",
                 "현재 파일 용량 : ",
                 {2715, 2325, 1380, 180}},
    WidgetDesign{
        WidgetKind::kLabel, "lblTotalFileSize", "MainFrame", " 0 KB", {4065, 2325, 450, 180}},
    WidgetDesign{
        WidgetKind::kRectangle, "shapeRemainFileSize", "MainFrame", "", {5235, 2235, 2610, 375}},
    WidgetDesign{WidgetKind::kLabel,
                 "lblRFileSize",
                 "MainFrame",
                 "남은 파일 용량 : ",
                 {5325, 2325, 1380, 180}},
    WidgetDesign{
        WidgetKind::kLabel, "lblRemainFileSize", "MainFrame", " 0 KB", {6675, 2325, 450, 180}},
};

// Download screen, inside DNMainFrame.
constexpr std::array kDownloadScreen = {
    WidgetDesign{
        WidgetKind::kButton, "cmdDownload", "DNMainFrame", "다운로드", {6315, 1785, 1530, 360}},
    WidgetDesign{WidgetKind::kRectangle, "shapeDNFolder", "DNMainFrame", "", {45, 1800, 6255, 375}},
    WidgetDesign{WidgetKind::kLabel,
                 "lblDNFolder",
                 "DNMainFrame",
                 "다운로드 폴더 : ",
                 {120, 1905, 1320, 180}},
    WidgetDesign{WidgetKind::kLabel,
                 "lblDownloadFolder",
                 "DNMainFrame",
                 "C:\\Download",
                 {1485, 1905, 3795, 180}},
    WidgetDesign{
        WidgetKind::kButton, "cmdFolderView", "DNMainFrame", "폴더 열기", {4365, 1830, 945, 315}},
    WidgetDesign{
        WidgetKind::kButton, "cmdSelFolder", "DNMainFrame", "폴더 선택", {5325, 1830, 945, 315}},
    WidgetDesign{
        WidgetKind::kRectangle, "shapeDNFileCount", "DNMainFrame", "", {45, 2160, 3135, 375}},
    WidgetDesign{WidgetKind::kLabel,
                 "lblDNFileCount",
                 "DNMainFrame",
                 "총 파일 갯수 : ",
                 {120, 2250, 1200, 180}},
    WidgetDesign{
        WidgetKind::kLabel, "lblDNTotalFileCount", "DNMainFrame", "0 개", {1335, 2250, 330, 180}},
    WidgetDesign{
        WidgetKind::kRectangle, "shapeDNFileSize", "DNMainFrame", "", {3165, 2160, 3135, 375}},
    WidgetDesign{WidgetKind::kLabel,
                 "lblDNFileSize",
                 "DNMainFrame",
                 "총 파일 용량 : ",
                 {3240, 2250, 1200, 180}},
    WidgetDesign{
        WidgetKind::kLabel, "lblDNTotalFileSize", "DNMainFrame", "0 KB", {4440, 2250, 390, 180}},
    WidgetDesign{
        WidgetKind::kRectangle, "shapeDupFile", "DNMainFrame", "", {6285, 2160, 1560, 375}},
    WidgetDesign{
        WidgetKind::kCheckBox, "chkDupFile", "DNMainFrame", "덮어쓰기", {6375, 2250, 1320, 225}},
};

// The order in which the screen switch sets visibility.
constexpr std::array<std::string_view, 18> kUploadSwitchOrder = {
    "UploadFileList", "MainFrame",         "TypeFrame",         "OptLargeIcon",
    "OptSmallIcon",   "OptList",           "OptReport",         "cmdAdd",
    "cmdDelete",      "shapeFileCount",    "shapeCurrFileSize", "shapeRemainFileSize",
    "lblFileCount",   "lblTotalFileCount", "lblFileSize",       "lblTotalFileSize",
    "lblRFileSize",   "lblRemainFileSize",
};
constexpr std::array<std::string_view, 14> kDownloadSwitchOrder = {
    "DownloadFileList", "DNMainFrame",         "cmdDownload",   "cmdSelFolder",
    "shapeDNFileCount", "shapeDNFileSize",     "shapeDupFile",  "chkDupFile",
    "lblDNFileCount",   "lblDNTotalFileCount", "lblDNFileSize", "lblDNTotalFileSize",
    "lblDNFolder",      "lblDownloadFolder",
};

template <typename Design>
void AddAll(Form& form, const Design& designs) {
  for (const WidgetDesign& design : designs) {
    form.AddWidget(design.kind, std::string(design.name), form.Find(design.container),
                   design.caption, design.bounds);
  }
}

template <typename Order>
void SetVisible(const Form& form, const Order& order, bool visible) {
  for (const std::string_view name : order) form.Find(name)->SetVisible(visible);
}

Widget& Named(const Form& form, std::string_view name) {
  return *form.Find(name);
}

}  // namespace

std::unique_ptr<ControlSurface> BuildControlSurface(Ui& ui) {
  std::unique_ptr<Form> form = ui.CreateForm("UploaderControl", "", Bounds{0, 0, 9480, 6495},
                                             FormPlacement{FormKind::kSurface, nullptr});
  Form& f = *form;

  Widget& mainFrame = f.AddWidget(WidgetKind::kFrame, "MainFrame", &f, "", {0, 0, 9480, 2670});
  ListView& uploadList = f.AddListView("UploadFileList", &mainFrame, {45, 195, 7800, 2025});
  AddAll(f, kUploadScreen);
  Named(f, "OptReport").SetValue(1);

  Widget& dnFrame = f.AddWidget(WidgetKind::kFrame, "DNMainFrame", &f, "", {0, 3675, 7905, 2595});
  ListView& downloadList = f.AddListView("DownloadFileList", &dnFrame, {45, 195, 7800, 1590});
  downloadList.SetCheckBoxes(true);
  AddAll(f, kDownloadScreen);

  PictureBox& largePicture = f.AddPictureBox("LargePicture", &f, {4905, 2820, 480, 480});
  PictureBox& smallPicture = f.AddPictureBox("SmallPicture", &f, {4545, 2940, 240, 240});
  ImageList& largeImages = f.AddImageList("LargeIconImageList", 32);
  ImageList& smallImages = f.AddImageList("SmallIconImageList", 16);
  FileDialog& comOpen = f.AddFileDialog("ComOpen");

  return std::unique_ptr<ControlSurface>(new ControlSurface{
      std::move(form),
      mainFrame,
      uploadList,
      Named(f, "OptLargeIcon"),
      Named(f, "OptSmallIcon"),
      Named(f, "OptList"),
      Named(f, "OptReport"),
      Named(f, "cmdAdd"),
      Named(f, "cmdDelete"),
      Named(f, "lblTotalFileCount"),
      Named(f, "lblTotalFileSize"),
      Named(f, "lblRemainFileSize"),
      dnFrame,
      downloadList,
      Named(f, "cmdDownload"),
      Named(f, "lblDownloadFolder"),
      Named(f, "cmdFolderView"),
      Named(f, "cmdSelFolder"),
      Named(f, "lblDNTotalFileCount"),
      Named(f, "lblDNTotalFileSize"),
      Named(f, "chkDupFile"),
      largePicture,
      smallPicture,
      largeImages,
      smallImages,
      comOpen,
  });
}

void SetUploadScreenVisible(const Form& form, bool visible) {
  SetVisible(form, kUploadSwitchOrder, visible);
}

void SetDownloadScreenVisible(const Form& form, bool visible) {
  SetVisible(form, kDownloadSwitchOrder, visible);
}

}  // namespace veldrask
