#pragma once
// The access manager's configuration file tuvex.ini: the two ways it is
// written (whole lines appended, keys through the profile writer) and the four
// templates, one per reader arrangement.

#include "WizardSettings.h"

#include <string>
#include <string_view>

namespace calveno {

// Where a template writes. The profile writer appends a missing section at the
// end of the file and a new key after its section's last key, so appending
// lines and writing keys in template order gives the file in that order.
class TuvexSink {
public:
    virtual ~TuvexSink() = default;
    // Appends `text` and a line end; AppendLine("") writes a blank line.
    virtual bool AppendLine(std::string_view text) = 0;
    virtual bool writeKey(std::string_view section, std::string_view key, std::string_view value) = 0;
};

// The sink over the real file: lines through common::appendRawLine, keys
// through common::writeProfileString (CR LF everywhere, bytes unchanged).
class ProfileTuvexSink final : public TuvexSink {
public:
    explicit ProfileTuvexSink(std::string path);
    bool AppendLine(std::string_view text) override;
    bool writeKey(std::string_view section, std::string_view key, std::string_view value) override;

private:
    std::string m_path;
};

// The four templates. Each starts from success, ANDs in every write and keeps
// writing after a failed one; a refused input writes nothing and fails.
// `protocol` is reader 1's protocol (reader 2 always follows it).
bool writeTuvexMonofente(TuvexSink& sink, std::uint16_t protocol, const ReaderSettings& reader1);
bool writeTuvexBifente(TuvexSink& sink, const ReaderSettings& reader1);
bool writeTuvexChaines(TuvexSink& sink, const ReaderSettings& reader1, const ReaderSettings& reader2);
bool writeTuvexDeuxPorts(TuvexSink& sink, std::uint16_t protocol, const ReaderSettings& reader1,
                         const ReaderSettings& reader2);

// The template of `settings.Topology`.
bool writeTuvexIni(TuvexSink& sink, const WizardSettings& settings);

// Whether writeTuvexIni would accept `settings` (it refuses before writing
// anything otherwise): a known topology and protocol, uses the arrangement
// can carry, and written values that keep the file's line structure.
bool tuvexTemplateAccepts(const WizardSettings& settings);

}  // namespace calveno
