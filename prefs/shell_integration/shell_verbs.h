#pragma once
// The program's file-type associations and its folder and drive verbs in
// HKEY_CLASSES_ROOT.
//
// Taking an extension keeps what was there before: the extension key's
// previous document type, and whether the key, its default value and its
// "shell" sub-key existed, are kept as two values of our own in the
// extension key ("ZUL.Previous", "ZUL.State"), written only when the
// program first takes it. Giving it back deletes only the keys and values
// the program wrote and puts the previous type back, so another program's
// association returns exactly as it was. If another program took the
// extension after us, giving it back leaves that program's type in place.
//
// Registry calls that fail (no rights) leave that entry as it was.
//
// Threads: UI thread.
#include <string>

namespace zul::shell {

struct VerbTexts {
  std::wstring playWith = L"Play with ZUL";     // folder and drive verb "playzul"
  std::wstring addToList = L"Add to playlist";  // folder and drive verb "addzul"
  std::wstring open = L"Open";                  // file verb "openzul"
  std::wstring add = L"Add";                    // file verb "addzul"
};

// "\"<program>\" \"%1\"" and "\"<program>\" -a \"%1\"".
std::wstring PlayCommand(const std::wstring& program);
std::wstring AddCommand(const std::wstring& program);

// ext without its dot ("mp3"). Associated: the extension's document type
// opens files with the program's play command line (case ignored).
bool IsAssociated(const std::wstring& ext, const std::wstring& program);
void Associate(const std::wstring& ext, const std::wstring& description, bool addByDefault, const std::wstring& program,
               const VerbTexts& texts);
void Dissociate(const std::wstring& ext);

// Folder and drive verbs: a box is on when "Directory\Shell\<verb>\Command"
// holds the program's command line.
bool HasFolderVerb(bool add, const std::wstring& program);
// Deletes the four verb keys and writes those asked for.
void SetFolderVerbs(bool play, bool add, const std::wstring& program, const VerbTexts& texts);

}  // namespace zul::shell
