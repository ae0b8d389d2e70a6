#include "BatchRunner.h"

#include "ConfigPaths.h"
#include "Finish.h"
#include "MessageCatalogue.h"
#include "ReaderCheck.h"
#include "ReaderPageRules.h"
#include "WizardSettings.h"
#include "common/ProgramInfo.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <string>

namespace calveno {

namespace {

constexpr int kCodeStartupFailed = 1;
constexpr int kCodeClosing = 46;

// What one --rN-... option family sets; unset options keep the record's value.
struct ReaderOptions {
    std::optional<std::string> name;
    std::optional<std::string> port;
    std::optional<std::string> speed;
    std::optional<std::string> dataBits;
    std::optional<std::string> parity;
    std::optional<std::string> stopBits;
    std::optional<std::string> address;
    std::optional<std::string> cps;
    std::optional<std::string> ambrel;
    std::vector<CLI::Option*> given;  // to name an option that does not fit
};

struct BatchOptions {
    std::string topology;
    std::string protocol;
    ReaderOptions readers[2];
    bool cnf = false;
    bool yes = false;
    bool noReaderCheck = false;
    bool listReaders = false;
    bool quiet = false;
    std::string windowsDir;
    std::string programDir;
};

const std::map<std::string, std::uint16_t> kTopologies{
    {"monofente", kTopologyMonofente},  {"5017", kTopologyMonofente},  {"bifente", kTopologyBifente},
    {"5014", kTopologyBifente},         {"chaines", kTopologyChaines}, {"5016", kTopologyChaines},
    {"deux-ports", kTopologyDeuxPorts}, {"5015", kTopologyDeuxPorts},
};

// The values the wizard's lists can store, so the files get nothing else.
const std::vector<std::string> kPorts{"1", "2", "3", "4"};
const std::vector<std::string> kSpeeds{"9600", "19200"};
const std::vector<std::string> kDataBits{"5", "8"};
const std::vector<std::string> kParities{"0", "1", "2"};
const std::vector<std::string> kStopBits{"0", "1", "2"};
const std::vector<std::string> kAddresses{"0", "1", "2", "3", "4", "5", "6", "7", "8"};
const std::vector<std::string> kFlags{"0", "1"};

// A PC/SC name goes verbatim into tuvex.ini and must fit its field.
const CLI::Validator kReaderName(
    [](std::string& value) -> std::string {
        if (value.size() > kMaxPcscNameLength) return "longer than 255 characters";
        if (value.find_first_of("\r\n") != std::string::npos) return "holds a line break";
        return {};
    },
    "");

void addReaderOptions(CLI::App& app, ReaderOptions& reader, int number)
{
    const std::string prefix = "--r" + std::to_string(number) + "-";
    const std::string which = "reader " + std::to_string(number) + "'s ";
    auto add = [&](const std::string& name, std::optional<std::string>& target, const std::string& help,
                   const std::vector<std::string>& allowed) {
        CLI::Option* option = app.add_option(prefix + name, target, which + help);
        if (allowed.empty())
            option->type_name("TEXT")->check(kReaderName);
        else
            option->type_name("N")->check(CLI::IsMember(allowed));
        reader.given.push_back(option);
    };
    add("name", reader.name, "PC/SC reader name, at most 255 characters", {});
    add("port", reader.port, "serial port, 1-4 for COM1-COM4", kPorts);
    add("speed", reader.speed, "speed in bauds", kSpeeds);
    add("bits", reader.dataBits, "data bits", kDataBits);
    add("parity", reader.parity, "parity: 0 none, 1 odd, 2 even", kParities);
    add("stop", reader.stopBits, "stop bits: 0 one, 1 one and a half, 2 two", kStopBits);
    add("address", reader.address, "physical address", kAddresses);
    add("cps", reader.cps, "use for the CPS card", kFlags);
    add("ambrel", reader.ambrel, "use for the Ambrel card", kFlags);
}

void applyReaderOptions(const ReaderOptions& options, ReaderSettings& reader)
{
    auto set = [](const std::optional<std::string>& value, std::string& field) {
        if (value) field = *value;
    };
    set(options.port, reader.port);
    set(options.speed, reader.speed);
    set(options.dataBits, reader.dataBits);
    set(options.parity, reader.parity);
    set(options.stopBits, reader.stopBits);
    set(options.address, reader.address);
    if (options.cps) reader.UseCps = *options.cps == "1" ? 1 : 0;
    if (options.ambrel) reader.UseAmbrel = *options.ambrel == "1" ? 1 : 0;
}

const CLI::Option* firstGiven(const ReaderOptions& reader)
{
    for (const CLI::Option* option : reader.given) {
        if (option->count() > 0) return option;
    }
    return nullptr;
}

// Options the chosen arrangement's pages cannot express; an empty text when
// the combination is fine.
std::string arrangementConflict(const BatchOptions& options, std::uint16_t topology, std::uint16_t protocol)
{
    const bool serialOnly = topology == kTopologyBifente || topology == kTopologyChaines;
    if (serialOnly && protocol == kProtocolPcsc)
        return "--protocol pcsc: the two-slot and chained arrangements use the serial protocol only";
    if (!isTwoReaderTopology(topology)) {
        if (const CLI::Option* option = firstGiven(options.readers[1]))
            return option->get_name() + ": this arrangement has no second reader";
    }
    if (topology == kTopologyChaines && options.readers[1].port)
        return "--r2-port: chained readers share reader 1's port";
    // A name without the PC/SC protocol would be dropped and a serial file
    // written in its place.
    if (protocol != kProtocolPcsc) {
        for (int r = 0; r < 2; ++r) {
            if (options.readers[r].name)
                return "--r" + std::to_string(r + 1) + "-name: a PC/SC reader name needs --protocol pcsc";
        }
    }
    return {};
}

// Writes each message to standard error and answers the questions.
class BatchPresenter final : public MessagePresenter {
public:
    BatchPresenter(std::ostream& err, bool yes) : m_err(err), m_yes(yes) {}

    bool declined() const { return m_declined; }

    MessageAnswer present(std::string_view text, std::string_view caption, MessageStyle style) override
    {
        m_err << caption << ": " << text << '\n';
        switch (style.buttons) {
        case MessageButtons::Ok: return MessageAnswer::Ok;
        case MessageButtons::OkCancel: return answer(MessageAnswer::Ok, MessageAnswer::Cancel);
        case MessageButtons::YesNo: return answer(MessageAnswer::Yes, MessageAnswer::No);
        }
        return MessageAnswer::Cancel;
    }

private:
    MessageAnswer answer(MessageAnswer accept, MessageAnswer refuse)
    {
        if (m_yes) {
            m_err << "-> answered yes (--yes)\n";
            return accept;
        }
        m_declined = true;
        m_err << "-> answered no: existing files are only replaced with --yes\n";
        return refuse;
    }

    std::ostream& m_err;
    bool m_yes;
    bool m_declined = false;
};

std::string absoluteDirectory(const std::string& directory)
{
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(directory, ec);
    return ec ? std::string() : absolute.lexically_normal().string();
}

// The reader page's "&Suivant >" for the current reader.
bool passReaderPage(WizardSettings& settings, const ReaderOptions& options, MessagePresenter& presenter)
{
    prepareReaderPage(settings);
    const int code = validateReaderPage(settings, options.name);
    if (code == 0) return true;
    ShowMessage(presenter, code);
    return false;
}

// The system's file operations, noting what the Finish step wrote and archived so the
// user learns where the files went, whatever decided the paths.
class RecordingFileOperations final : public FileOperations {
public:
    explicit RecordingFileOperations(FileOperations& files) : m_files(files) {}

    std::vector<std::string> written;
    std::vector<std::pair<std::string, std::string>> archived;  // from, to

    bool exists(const std::string& path) override { return m_files.exists(path); }
    bool remove(const std::string& path) override { return m_files.remove(path); }
    bool copy(const std::string& from, const std::string& to) override
    {
        const bool copied = m_files.copy(from, to);
        if (copied) archived.emplace_back(from, to);
        return copied;
    }
    bool resetAttributes(const std::string& path) override { return m_files.resetAttributes(path); }
    bool createEmpty(const std::string& path) override { return m_files.createEmpty(path); }
    std::unique_ptr<OutputFile> openForWriting(const std::string& path) override
    {
        note(path);
        return m_files.openForWriting(path);
    }
    std::unique_ptr<TuvexSink> tuvexSink(const std::string& path) override
    {
        note(path);
        return m_files.tuvexSink(path);
    }

private:
    void note(const std::string& path)
    {
        if (std::find(written.begin(), written.end(), path) == written.end()) written.push_back(path);
    }

    FileOperations& m_files;
};

std::string unreachableText(const PcscReaderListing& listing)
{
    return "the PC/SC service is not reachable (" + listing.problem +
           "); start pcscd (on Debian: sudo systemctl start pcscd.socket)";
}

// The names of the PC/SC readers about to be written, checked against the readers
// present; 0 when they fit, else the exit code after saying why.
int checkReaderNames(const WizardSettings& settings, const ReaderLister& lister, std::ostream& err)
{
    std::vector<std::pair<std::string, std::string>> names{{"--r1-name", settings.reader1.pcscName}};
    if (isTwoReaderTopology(settings.Topology)) names.emplace_back("--r2-name", settings.reader2.pcscName);
    const PcscReaderListing listing = lister();
    if (!listing.reachable || !listing.problem.empty()) {
        err << "calveno-batch: cannot check the PC/SC reader names: " << unreachableText(listing)
            << ".\nGive --no-reader-check to write the files for another machine.\n";
        return kExitReaderCheck;
    }
    bool refused = false;
    for (const auto& [option, name] : names) {
        const std::string problem = readerNameProblem(name, listing.names);
        if (problem.empty()) continue;
        err << "calveno-batch: " << option << " \"" << name << "\": " << problem << "\n";
        refused = true;
    }
    if (!refused) return 0;
    err << "PC/SC readers present (give one exactly as listed; --list-readers prints them):\n"
        << readerLines(listing.names) << "Give --no-reader-check to write the files for another machine.\n";
    return kExitReaderCheck;
}

}  // namespace

int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    return runBatch(args, out, err, listPcscReaders);
}

int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const ReaderLister& readers)
{
    CLI::App app(
        "Writes tuvex.ini and pelkor.ini (or pelkor.cnf with --cnf) as the Calveno wizard "
        "does, without a window.",
        "calveno-batch");
    app.footer(
        "Messages go to standard error; questions are answered OK only with --yes. On success\n"
        "each file written and each archive copy made is printed, unless -q.\n"
        "With --protocol pcsc every reader name must be one of the PC/SC readers present, exactly\n"
        "as --list-readers prints it; --no-reader-check writes the files for another machine.\n"
        "Exit codes: 0 files written (or readers listed), 1 refused by the reader page's checks\n"
        "or a declined question, 2 the Finish step failed, 3 wrong usage, 4 a PC/SC reader name\n"
        "matches no reader present (or only part of one), or the PC/SC service cannot be reached.");
    BatchOptions options;
    std::vector<std::string> topologyNames;
    for (const auto& entry : kTopologies) topologyNames.push_back(entry.first);
    app.add_option("--topology", options.topology,
                   "reader arrangement: monofente (5017), bifente (5014), chaines (5016), "
                   "deux-ports (5015); default monofente")
        ->type_name("NAME")
        ->check(CLI::IsMember(topologyNames));
    app.add_option("--protocol", options.protocol, "reader 1's protocol (reader 2 follows); default serie")
        ->type_name("NAME")
        ->check(CLI::IsMember({"serie", "pcsc"}));
    addReaderOptions(app, options.readers[0], 1);
    addReaderOptions(app, options.readers[1], 2);
    app.add_flag("--cnf", options.cnf, "write pelkor.cnf instead of pelkor.ini");
    app.add_option("--windows-dir", options.windowsDir,
                   "directory of tuvex.ini (default: " + windowsDirectoryText() + ")")
        ->check(CLI::ExistingDirectory);
    app.add_option(
           "--program-dir", options.programDir,
           "directory of the card-manager files and archives (default: " + cardManagerDirectoryText() + ")")
        ->check(CLI::ExistingDirectory);
    app.add_flag("--yes", options.yes, "answer OK to the questions, replacing existing files");
    app.add_flag("--no-reader-check", options.noReaderCheck,
                 "write PC/SC reader names without checking them against the readers present");
    app.add_flag("--list-readers", options.listReaders,
                 "print the PC/SC readers present, one a line, as --r1-name takes them, and exit");
    app.add_flag("-q,--quiet", options.quiet, "print nothing on success");
    app.set_version_flag("--version", toolkit::versionLine("calveno-batch"), "show the version and exit");

    try {
        // CLI11 takes the arguments in reverse order, without the program path.
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        if (!reversed.empty()) reversed.pop_back();
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitWritten;
    } catch (const CLI::CallForVersion& version) {
        out << version.what() << "\n";
        return kExitWritten;
    } catch (const CLI::ParseError& error) {
        err << "calveno-batch: " << error.what() << "\nRun with --help for usage.\n";
        return kExitUsage;
    }

    if (options.listReaders) {
        const PcscReaderListing listing = readers();
        if (!listing.reachable || !listing.problem.empty()) {
            err << "calveno-batch: " << unreachableText(listing) << "\n";
            return kExitReaderCheck;
        }
        if (listing.names.empty()) err << "calveno-batch: no PC/SC reader present\n";
        for (const std::string& name : listing.names) out << name << "\n";
        return kExitWritten;
    }

    WizardSettings settings = defaultWizardSettings();
    const std::uint16_t topology =
        options.topology.empty() ? kTopologyMonofente : kTopologies.at(options.topology);
    // The choice page presets the uses only when its button is clicked.
    if (!options.topology.empty()) applyTopologyChoice(settings, topology);
    const std::uint16_t protocol = options.protocol == "pcsc" ? kProtocolPcsc : kProtocolSerie;
    const std::string conflict = arrangementConflict(options, topology, protocol);
    if (!conflict.empty()) {
        err << "calveno-batch: " << conflict << "\nRun with --help for usage.\n";
        return kExitUsage;
    }
    if (!options.protocol.empty()) settings.reader1.protocol = protocol;
    applyReaderOptions(options.readers[0], settings.reader1);
    applyReaderOptions(options.readers[1], settings.reader2);

    Directories directories;
    directories.windowsDirectory =
        options.windowsDir.empty() ? platformWindowsDirectory() : absoluteDirectory(options.windowsDir);
    directories.programDirectory = options.programDir.empty()
                                       ? cardManagerDirectory(platformProgramDirectory())
                                       : absoluteDirectory(options.programDir);

    BatchPresenter presenter(err, options.yes);
    SystemFileOperations systemFiles;
    RecordingFileOperations files(systemFiles);

    // The wizard's start-up: paths, then the overwrite warning.
    ConfigPaths paths;
    if (!buildPaths(directories, files, paths)) {
        ShowMessage(presenter, kCodeStartupFailed);
        return kExitFinishFailed;
    }
    if (!overwriteWarning(paths, files, presenter)) {
        ShowMessage(presenter, kCodeClosing);
        return kExitRefused;
    }

    settings.CurrentReader = 1;
    if (!passReaderPage(settings, options.readers[0], presenter)) return kExitRefused;
    if (isTwoReaderTopology(settings.Topology)) {
        settings.CurrentReader = 2;
        if (!passReaderPage(settings, options.readers[1], presenter)) return kExitRefused;
    }
    settings.MakeCnf = options.cnf ? 1 : 0;

    // Before anything is written: a name the plug-in would not find is refused here.
    if (settings.reader1.protocol == kProtocolPcsc && !options.noReaderCheck)
        if (const int code = checkReaderNames(settings, readers, err); code != 0) return code;

    if (!GenerateConfiguration(settings, directories, files, presenter)) {
        ShowMessage(presenter, kCodeGenerationFailed);
        return presenter.declined() ? kExitRefused : kExitFinishFailed;
    }
    if (!options.quiet) {
        for (const auto& [from, to] : files.archived) out << "archived " << from << " as " << to << "\n";
        for (const std::string& path : files.written) out << "written " << path << "\n";
    }
    return kExitWritten;
}

}  // namespace calveno
