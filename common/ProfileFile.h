#pragma once
// Reader and writer of INI-style profile files with the semantics of the
// Windows private-profile API (GetPrivateProfileStringA, GetPrivateProfileIntA,
// WritePrivateProfileStringA), so the plug-in and the wizard behave the same on
// every platform and the files they share stay byte-identical.
//
// Values are bytes: nothing is transcoded, a Windows-1252 file stays as it is.
// Section and key names match without regard to ASCII case.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace common {

// GetPrivateProfileStringA. `section` or `key` may be null to enumerate the
// section names or the key names of a section (each name NUL-terminated, the
// list ending with one more NUL). `defaultValue` null means "". Copies at most
// `size` bytes including the terminating NUL(s) into `buffer` and returns the
// number of characters copied, not counting the final NUL. With `size` 0 the
// buffer is untouched and 0 is returned. A missing or unreadable file yields
// the default (trailing spaces removed).
std::uint32_t getProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                               std::uint32_t size, const char* path);

// Convenience form of getProfileString for one value: the result as a string
// of at most `maxChars` characters (the caller's buffer size less the NUL).
std::string readProfileString(const std::string& path, std::string_view section, std::string_view key,
                              std::string_view defaultValue, std::size_t maxChars);

// GetPrivateProfileIntA: the default (as unsigned) when the file, section or
// key is missing or the value is empty; otherwise the leading number of the
// value, wrapping modulo 2^32 ("-1" gives 4294967295, "abc" gives 0,
// "0x1A" gives 26, "010" gives 10).
std::uint32_t getProfileInt(const char* section, const char* key, std::int32_t defaultValue,
                            const char* path);

// WritePrivateProfileStringA. Writes `key=value` CR LF: replaces the first
// occurrence of the key in place (keeping its original spelling), or puts a
// new key right after the last key line of the section, or appends a missing
// section at the end of the file, creating the file when absent. A null
// `value` deletes the key; a null `key` deletes the section header and its
// key lines. Every other byte of the file is kept. The file is replaced
// atomically (temporary file beside it, then rename), so a failed write
// leaves the previous file intact; a symbolic link is followed and kept. A
// file without any write permission bit counts as read-only and is refused,
// as Windows refuses a read-only file.
// Returns false on any failure.
bool writeProfileString(const char* section, const char* key, const char* value, const char* path);

// Appends `text` followed by CR LF to the file (created when absent).
// Returns true when the file was opened, every byte written and closed; a
// read-only file is refused as the writer above refuses it.
bool appendRawLine(const char* path, std::string_view text);

}  // namespace common
