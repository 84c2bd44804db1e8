#pragma once
// File and platform-error utilities of the DICOM library. Paths are
// TogStrings, handed to the operating system as UTF-8.
#include "dicomlib/togstring.h"

namespace togutils {

// Logs the text of a platform error (errno value; -1 for the calling
// thread's current errno) under the signature as "Windows API error(%d):"
// followed by the system's text. Returns 0, or 10 when the system has no
// text for the code (then "FormatMessage() failed. ('%d')" is logged).
int WriteWindowsAPIErrorMessageToLog(const char* signature, const char* function, int error) noexcept;

// Splits a function signature such as
// "int __thiscall TogDicomDataElement::SetChildElement(class TogDicomDataElement *)"
// into class and method ("TogDicomDataElement", "SetChildElement"). A free
// function gives the class "(global)"; a text with no name gives "(unknown)"
// for both, and false.
bool SplitFunctionSignature(const char* signature, TogString& className, TogString& methodName) noexcept;

// Maps a platform error (errno value) of a file operation on `path` to the
// library's result code and logs it under `signature`: 1009 invalid entry in
// the path, 1004 access denied, 1010 already exists, 1007 invalid path, 1008
// path too long, 1 any other (naming `function`).
int MapPlatformError(const char* signature, const char* function, int error, const TogString& path) noexcept;

// Deletes a file: 10 for an empty path, 0 when it does not exist (already
// removed) or was deleted, else the mapped platform error.
int DeleteFileW(const TogString& path) noexcept;

// True when the path names an existing file or folder.
bool PathFileExists(const TogString& path) noexcept;

}  // namespace togutils
