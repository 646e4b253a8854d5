#pragma once
// The tray tooltip's text: the template with its "\r", "\n", "\t" escapes,
// "%1" to "%9" replaced by the entry's fields and "%A" by its folder's
// picture. The fields come from files (tags, names), so each is written as
// text that the tooltip's HTML shows literally: "<b>" in a title is shown,
// not obeyed. Replacement is one pass from left to right; a value that
// holds "%2" keeps it.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace zul {

// artist, title, album, year, comment, length, file name, drive, folder
using TooltipFields = std::array<std::wstring, 9>;

std::wstring EscapeHtml(std::wstring_view text);

std::wstring ExpandTooltipTemplate(std::wstring_view tmpl, const TooltipFields& fields,
                                   const std::optional<std::wstring>& albumArt);

}  // namespace zul
