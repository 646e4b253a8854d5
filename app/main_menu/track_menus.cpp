#include "app/main_menu/track_menus.h"

#include <algorithm>
#include <cwctype>

namespace zul {
namespace {

using Kind = MenuShapeItem::Kind;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
  if (prefix.size() > text.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::towlower(text[i]) != std::towlower(prefix[i])) return false;
  return true;
}

bool EqualNoCaseView(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() && StartsWithNoCase(a, b);
}

std::wstring FileNameOf(std::wstring_view path) {
  size_t cut = path.find_last_of(L"\\/");
  return std::wstring(cut == std::wstring_view::npos ? path : path.substr(cut + 1));
}

int FolderDepth(std::wstring_view path) {
  auto parts = PathComponents(path);
  return parts.empty() ? 0 : static_cast<int>(parts.size()) - 1;
}

MenuShapeItem Item(Kind kind, int index = -1, std::wstring text = {}) {
  MenuShapeItem item;
  item.kind = kind;
  item.index = index;
  item.text = std::move(text);
  return item;
}

size_t Size(const MenuShape& m) { return m.items.size(); }

void Pad(MenuShape& m, size_t tpc) {
  if (Size(m) < tpc) return;
  while (Size(m) % tpc != 0) m.items.push_back(Item(Kind::Filler));
}

void DropFillers(MenuShape& m) {
  while (!m.items.empty() && m.items.back().kind == Kind::Filler) m.items.pop_back();
}

// Opens "Next files" when the menu is full (three columns less one item)
// and returns the menu that takes the next item.
MenuShape* RoomFor(MenuShape* m, size_t tpc) {
  if (Size(*m) == 3 * tpc - 1 && m->items.back().kind != Kind::Separator) {
    MenuShapeItem more = Item(Kind::NextFiles);
    more.sub = std::make_unique<MenuShape>();
    MenuShape* inner = more.sub.get();
    m->items.push_back(std::move(more));
    return inner;
  }
  return m;
}

// Marks the "Next files" items leading from outer to inner as the way to
// the current track.
void MarkWay(MenuShape* outer, const MenuShape* inner) {
  for (MenuShape* m = outer; m && m != inner;) {
    MenuShapeItem& last = m->items.back();
    if (last.kind != Kind::NextFiles) break;
    last.isDefault = true;
    m = last.sub.get();
  }
}

struct Filler {
  const std::vector<std::wstring>& paths;
  int current;
  size_t tpc;

  // Fills from entry pos while the entries start with prefix (depth
  // components). Returns the first entry not taken; found tells whether the
  // current entry went in, menu ends as the innermost menu filled.
  size_t Fill(MenuShape*& menu, int depth, std::wstring_view prefix, size_t pos, size_t end, bool& found) {
    MenuShape* const start = menu;
    while (pos < end) {
      const std::wstring& path = paths[pos];
      if (!StartsWithNoCase(path, prefix)) break;
      MenuShape* target = RoomFor(menu, tpc);
      if (target != menu) menu = target;
      auto parts = PathComponents(path);
      const bool breakHere = Size(*menu) > 0 && Size(*menu) % tpc == 0;
      if (static_cast<int>(parts.size()) - 1 > depth) {
        std::wstring_view folder = parts[static_cast<size_t>(depth)];
        MenuShapeItem sub = Item(Kind::Folder);
        std::wstring name(folder);
        // A URL's scheme keeps its "//"; a folder loses its separator.
        if (!(name.size() >= 2 && name.compare(name.size() - 2, 2, L"//") == 0))
          while (!name.empty() && IsSeparator(name.back())) name.pop_back();
        sub.text = name;
        sub.columnBreak = breakHere;
        sub.sub = std::make_unique<MenuShape>();
        MenuShape* inner = sub.sub.get();
        const std::wstring innerPrefix = std::wstring(prefix) + std::wstring(folder);
        menu->items.push_back(std::move(sub));
        MenuShapeItem& placed = menu->items.back();
        bool innerFound = false;
        const size_t next = Fill(inner, depth + 1, innerPrefix, pos, end, innerFound);
        if (innerFound) {
          placed.isDefault = true;
          found = true;
          MarkWay(start, menu);
        }
        pos = next == pos ? pos + 1 : next;  // a path equal to the prefix cannot loop
      } else {
        MenuShapeItem track = Item(Kind::Track, static_cast<int>(pos), FileNameOf(path));
        track.columnBreak = breakHere;
        if (static_cast<int>(pos) == current) {
          track.isDefault = true;
          found = true;
          MarkWay(start, menu);
        }
        menu->items.push_back(std::move(track));
        ++pos;
      }
    }
    Pad(*menu, tpc);
    return pos;
  }
};

}  // namespace

std::vector<std::wstring_view> PathComponents(std::wstring_view path) {
  std::vector<std::wstring_view> parts;
  size_t begin = 0;
  if (path.substr(0, 2) == L"\\\\") {
    parts.push_back(path.substr(0, 2));
    begin = 2;
  } else if (size_t scheme = path.find(L"://"); scheme != std::wstring_view::npos && scheme > 0) {
    parts.push_back(path.substr(0, scheme + 3));
    begin = scheme + 3;
  }
  for (size_t i = begin; i < path.size(); ++i) {
    if (IsSeparator(path[i])) {
      parts.push_back(path.substr(begin, i + 1 - begin));
      begin = i + 1;
    }
  }
  if (begin < path.size() || parts.empty()) parts.push_back(path.substr(begin));
  return parts;
}

MenuShape BuildTracksShape(const std::vector<std::wstring>& paths, int current, int tpc) {
  const size_t columns = static_cast<size_t>(std::max(1, tpc));
  MenuShape root;
  MenuShape* innermost = &root;
  Filler filler{paths, current, columns};
  size_t pos = 0;
  while (pos < paths.size()) {
    // A group: consecutive entries with the same first component.
    const std::wstring_view first = PathComponents(paths[pos]).front();
    size_t end = pos + 1;
    while (end < paths.size() && EqualNoCaseView(PathComponents(paths[end]).front(), first)) ++end;

    int depth = 0;
    std::wstring prefix;
    if (paths[pos].find(L":\\") != std::wstring::npos) {
      auto base = PathComponents(paths[pos]);
      int common = static_cast<int>(base.size()) - 1;  // folders only, never the file name
      int deepest = 0;
      for (size_t i = pos; i < end; ++i) {
        auto parts = PathComponents(paths[i]);
        int shared = 0;
        while (shared < common && shared + 1 < static_cast<int>(parts.size()) &&
               EqualNoCaseView(parts[static_cast<size_t>(shared)], base[static_cast<size_t>(shared)]))
          ++shared;
        common = shared;
        deepest = std::max(deepest, FolderDepth(paths[i]));
      }
      const bool whole = pos == 0 && end == paths.size();
      if (!whole && common > 0 && common == deepest) --common;
      depth = common;
      for (int i = 0; i < depth; ++i) prefix += base[static_cast<size_t>(i)];
    }
    DropFillers(*innermost);
    bool found = false;
    MenuShape* menu = innermost;
    const size_t next = filler.Fill(menu, depth, prefix, pos, end, found);
    if (found) MarkWay(&root, innermost);
    innermost = menu;
    pos = next > pos ? next : pos + 1;
  }
  return root;
}

std::wstring AlbumCaption(std::wstring_view path) {
  const size_t slash = path.rfind(L'\\');
  if (slash == std::wstring_view::npos) return {};
  std::wstring_view folder = path.substr(0, slash);  // without the trailing "\"
  if (folder.empty() || folder.find(L'\\') == std::wstring_view::npos) return {};
  return std::wstring(folder.substr(folder.rfind(L'\\') + 1));
}

namespace {

void AddCaption(MenuShape& m, std::wstring_view path) {
  std::wstring caption = AlbumCaption(path);
  const size_t slash = path.rfind(L'\\');
  if (slash == std::wstring_view::npos || path.substr(0, slash).find(L'\\') == std::wstring_view::npos) return;
  m.items.push_back(Item(Kind::Caption, -1, std::move(caption)));
  m.items.push_back(Item(Kind::Separator));
}

}  // namespace

MenuShape BuildAlbumShape(const std::vector<std::wstring>& paths, int first, int last, int current, int tpc) {
  const size_t columns = static_cast<size_t>(std::max(1, tpc));
  MenuShape root;
  const int count = static_cast<int>(paths.size());
  first = std::max(0, first);
  last = std::min(last, count - 1);
  if (first > last) return root;
  AddCaption(root, paths[static_cast<size_t>(first)]);
  MenuShape* menu = &root;
  for (int i = first; i <= last; ++i) {
    menu = RoomFor(menu, columns);
    if (Size(*menu) > 0 && Size(*menu) % columns == 0) {
      MenuShapeItem filler = Item(Kind::Filler);
      filler.columnBreak = true;
      menu->items.push_back(std::move(filler));
      menu->items.push_back(Item(Kind::Separator));
    }
    MenuShapeItem track = Item(Kind::Track, i, paths[static_cast<size_t>(i)]);
    if (i == current) {
      track.isDefault = true;
      MarkWay(&root, menu);
    }
    menu->items.push_back(std::move(track));
  }
  Pad(*menu, columns);
  return root;
}

MenuShape BuildNextSongsShape(const std::vector<std::wstring>& paths, const std::vector<int>& order,
                              std::wstring_view currentPath, int tpc) {
  const size_t columns = static_cast<size_t>(std::max(1, tpc));
  MenuShape root;
  AddCaption(root, currentPath);
  int added = 0;
  for (int index : order) {
    if (index < 0 || index >= static_cast<int>(paths.size())) continue;
    MenuShapeItem track = Item(Kind::Track, index, paths[static_cast<size_t>(index)]);
    track.isDefault = ++added == 3;
    root.items.push_back(std::move(track));
  }
  Pad(root, columns);
  return root;
}

std::wstring EscapeAmpersands(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    out += c;
    if (c == L'&') out += L'&';
  }
  return out;
}

std::wstring RecentItemText(std::wstring_view path) {
  std::wstring shown;
  if (path.size() <= 40) {
    shown = path;
  } else {
    const size_t found = path.rfind(L'\\');
    const long p = found == std::wstring_view::npos ? -1 : static_cast<long>(found);
    const long head = std::min(18L, p - 3);
    if (head > 0) shown = path.substr(0, static_cast<size_t>(head));
    shown += L".....";
    shown += path.substr(p < 0 ? 0 : static_cast<size_t>(p));
  }
  return EscapeAmpersands(shown);
}

}  // namespace zul
