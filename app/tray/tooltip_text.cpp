#include "app/tray/tooltip_text.h"

namespace zul {

std::wstring EscapeHtml(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    switch (c) {
      case L'<':
        out += L"&lt;";
        break;
      case L'>':
        out += L"&gt;";
        break;
      case L'&':
        out += L"&amp;";
        break;
      case L'"':
        out += L"&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::wstring ExpandTooltipTemplate(std::wstring_view tmpl, const TooltipFields& fields,
                                   const std::optional<std::wstring>& albumArt) {
  std::wstring out;
  out.reserve(tmpl.size() + 256);
  for (size_t i = 0; i < tmpl.size(); ++i) {
    const wchar_t c = tmpl[i];
    const wchar_t next = i + 1 < tmpl.size() ? tmpl[i + 1] : L'\0';
    if (c == L'\\' && (next == L'r' || next == L'n' || next == L't')) {
      out += next == L'r' ? L'\r' : next == L'n' ? L'\n' : L'\t';
      ++i;
    } else if (c == L'%' && next >= L'1' && next <= L'9') {
      out += EscapeHtml(fields[static_cast<size_t>(next - L'1')]);
      ++i;
    } else if (c == L'%' && next == L'A' && albumArt) {
      out += EscapeHtml(*albumArt);
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace zul
