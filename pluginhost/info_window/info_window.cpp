#include "pluginhost/info_window/info_window.h"

#include <array>
#include <memory>

#include "base/console_log.h"
#include "mpeg_input/stream/byte_source.h"
#include "mpeg_input/tags/id3v1.h"
#include "mpeg_input/tags/id3v2.h"
#include "pluginhost/info_window/info_window_ids.h"
#include "pluginhost/info_window/tag_file.h"

namespace zul {
namespace {

using tags::TagField;

struct Box {
  int id;
  bool v1;  // the ID3v1 group's, else the ID3v2 group's
  TagField field;
};

// The nineteen tag boxes; the first five are the texts written to the file.
constexpr std::array<Box, 19> kBoxes = {{
    {IDC_V1_TITLE, true, TagField::Title},
    {IDC_V1_ARTIST, true, TagField::Artist},
    {IDC_V1_ALBUM, true, TagField::Album},
    {IDC_V1_YEAR, true, TagField::Year},
    {IDC_V1_COMMENT, true, TagField::Comment},
    {IDC_V1_GENRE, true, TagField::Genre},
    {IDC_V2_TITLE, false, TagField::Title},
    {IDC_V2_ARTIST, false, TagField::Artist},
    {IDC_V2_ALBUM, false, TagField::Album},
    {IDC_V2_YEAR, false, TagField::Year},
    {IDC_V2_GENRE, false, TagField::Genre},
    {IDC_V2_COMMENT, false, TagField::Comment},
    {IDC_V2_ALBUM_ARTIST, false, TagField::AlbumArtist},
    {IDC_V2_COMPOSER, false, TagField::Composer},
    {IDC_V2_ORIG_ARTIST, false, TagField::OriginalArtist},
    {IDC_V2_COPYRIGHT, false, TagField::Copyright},
    {IDC_V2_URL, false, TagField::Url},
    {IDC_V2_ENCODER, false, TagField::Encoder},
    {IDC_V2_DISC, false, TagField::PartOfSet},
}};

std::wstring TextOf(HWND dialog, int id) {
  HWND box = GetDlgItem(dialog, id);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(box, text.data(), static_cast<int>(text.size()))));
  return text;
}

class CMP3InfoDlg {
public:
  CMP3InfoDlg(std::wstring path, bool edit) : path_(std::move(path)), startInEdit_(edit) {}
  ~CMP3InfoDlg() {
    if (dialog_) DestroyWindow(dialog_);
  }

  HWND CreateModeless() {
    modal_ = false;
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MP3_INFO), nullptr, Proc,
                              reinterpret_cast<LPARAM>(this));
  }
  int RunModal(HWND owner) {
    modal_ = true;
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MP3_INFO), owner, Proc,
                    reinterpret_cast<LPARAM>(this));
    dialog_ = nullptr;
    return saved_ ? IDOK : IDCANCEL;
  }
  HWND hwnd() const { return dialog_; }

  void Refresh();
  // A track starts. Another file replaces the boxes (edit mode stays); the
  // same file starting again (repeat) leaves them alone, so that texts being
  // typed are not thrown away under the user's hands.
  void Follow(const std::wstring& path) {
    if (path == path_ && edit_) return;
    path_ = path;
    Refresh();
  }

private:
  static INT_PTR CALLBACK Proc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  void SetEditMode(bool on);
  void ShowTexts();
  void Save();
  void Tell(UINT textId);

  HWND dialog_ = nullptr;
  std::wstring path_;
  std::wstring lastRead_ = L"*";
  std::array<std::wstring, kBoxes.size()> texts_;
  bool startInEdit_;
  bool edit_ = false;
  bool modal_ = false;
  bool saved_ = false;
};

CMP3InfoDlg* g_current = nullptr;  // the modeless window

void CMP3InfoDlg::Refresh() {
  if (path_ != lastRead_) {
    lastRead_ = path_;
    for (auto& t : texts_) t.clear();
    tags::CTagFields v1, v2;
    if (auto source = OpenFileSource(path_)) {
      bool hasV1 = tags::ReadId3v1(*source, v1);
      bool hasV2 = tags::ReadId3v2(*source, &v2, nullptr);
      for (size_t i = 0; i < kBoxes.size(); ++i) {
        if (kBoxes[i].v1 ? hasV1 : hasV2) texts_[i] = (kBoxes[i].v1 ? v1 : v2)[kBoxes[i].field];
      }
    }
  }
  ShowTexts();
}

void CMP3InfoDlg::ShowTexts() {
  if (!dialog_) return;
  SetDlgItemTextW(dialog_, IDC_INFO_BITRATE, L"");
  SetDlgItemTextW(dialog_, IDC_INFO_FREQ, L"");
  SetDlgItemTextW(dialog_, IDC_INFO_MODE, L"");
  SetDlgItemTextW(dialog_, IDC_INFO_FILENAME, path_.c_str());
  for (size_t i = 0; i < kBoxes.size(); ++i) SetDlgItemTextW(dialog_, kBoxes[i].id, texts_[i].c_str());
}

void CMP3InfoDlg::SetEditMode(bool on) {
  edit_ = on;
  for (const Box& b : kBoxes) SendDlgItemMessageW(dialog_, b.id, EM_SETREADONLY, on ? FALSE : TRUE, 0);
  ShowWindow(GetDlgItem(dialog_, IDC_INFO_EDIT_TAG), on ? SW_HIDE : SW_SHOW);
  ShowWindow(GetDlgItem(dialog_, IDOK), on ? SW_SHOW : SW_HIDE);
  ShowWindow(GetDlgItem(dialog_, IDCANCEL), on ? SW_SHOW : SW_HIDE);
}

void CMP3InfoDlg::Tell(UINT textId) {
  wchar_t text[512] = L"";
  LoadStringW(GetModuleHandleW(nullptr), textId, text, 512);
  std::wstring message = std::wstring(text) + L"\n\n" + path_;
  MessageBoxW(dialog_, message.c_str(), L"ZUL", MB_OK | MB_ICONWARNING);
}

void CMP3InfoDlg::Save() {
  for (size_t i = 0; i < kBoxes.size(); ++i) texts_[i] = TextOf(dialog_, kBoxes[i].id);
  tags::Id3v1Texts edited{texts_[0], texts_[1], texts_[2], texts_[3], texts_[4]};
  std::unique_ptr<CTagFile> file;
  switch (CTagFile::Open(path_, file)) {
    case TagFileOpen::ReadOnly:
      Tell(IDS_TAG_READ_ONLY);
      break;
    case TagFileOpen::InUse:
      Tell(IDS_TAG_IN_USE);
      break;
    case TagFileOpen::CannotOpen:
      Tell(IDS_TAG_CANNOT_OPEN);
      break;
    case TagFileOpen::Opened:
      switch (tags::WriteId3v1(*file, edited)) {
        case tags::Id3v1WriteResult::Replaced:
        case tags::Id3v1WriteResult::Appended:
          saved_ = true;
          ZUL_LOG(L"MP3 info: ID3v1 record written to %ls\n", path_.c_str());
          break;
        case tags::Id3v1WriteResult::NothingToSave:
          break;
        case tags::Id3v1WriteResult::EmptyFile:
          Tell(IDS_TAG_EMPTY_FILE);
          break;
        case tags::Id3v1WriteResult::Failed:
          Tell(IDS_TAG_WRITE_FAILED);
          break;
        case tags::Id3v1WriteResult::Damaged:
          Tell(IDS_TAG_DAMAGED);
          break;
      }
      break;
  }
  file.reset();
  SetEditMode(false);
  Refresh();
  if (modal_ && saved_) EndDialog(dialog_, IDOK);
}

INT_PTR CALLBACK CMP3InfoDlg::Proc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<CMP3InfoDlg*>(lParam)->dialog_ = dialog;
  }
  auto* self = reinterpret_cast<CMP3InfoDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
  return self ? self->Handle(msg, wParam, lParam) : FALSE;
}

INT_PTR CMP3InfoDlg::Handle(UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      lastRead_ = L"*";
      Refresh();
      SetEditMode(startInEdit_);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_INFO_EDIT_TAG:
          SetEditMode(true);
          return TRUE;
        case IDOK:
          if (edit_) Save();
          return TRUE;
        case IDCANCEL:
          // Escape in view mode is not a close; in edit mode the boxes go
          // back to the texts last read or saved.
          if (edit_) {
            SetEditMode(false);
            ShowTexts();
          }
          return TRUE;
      }
      break;
    case WM_CLOSE:
      if (modal_)
        EndDialog(dialog_, IDCANCEL);
      else
        ShowWindow(dialog_, SW_HIDE);
      return TRUE;
    case WM_NCDESTROY:
      dialog_ = nullptr;
      break;
  }
  return FALSE;
}

}  // namespace

void OpenInfoWindow(const std::wstring& path) {
  delete g_current;
  g_current = nullptr;
  auto window = std::make_unique<CMP3InfoDlg>(path, false);
  if (!window->CreateModeless()) {
    ZUL_LOG(L"MP3 info: the window could not be created\n");
    return;
  }
  g_current = window.release();
  ShowWindow(g_current->hwnd(), SW_SHOW);
  SetForegroundWindow(g_current->hwnd());
}

void FollowInfoWindow(const std::wstring& path) {
  if (!g_current || !g_current->hwnd()) return;
  g_current->Follow(path);
}

void CloseInfoWindow() {
  delete g_current;
  g_current = nullptr;
}

int RunTagEditor(HWND owner, const std::wstring& path) {
  CMP3InfoDlg window(path, true);
  return window.RunModal(owner);
}

}  // namespace zul
