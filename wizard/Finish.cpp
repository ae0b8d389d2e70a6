#include "Finish.h"

#include "PelkorWriter.h"
#include "TuvexTemplates.h"

namespace calveno {

namespace {

// Deletes the previous archive and copies `file` over it. The archive is one
// generation deep: each run replaces the previous one.
bool archive(FileOperations& files, const std::string& file, const std::string& archivePath)
{
    files.remove(archivePath);
    return files.copy(file, archivePath);
}

bool confirmed(MessagePresenter& presenter, int code)
{
    return ShowMessage(presenter, code) == MessageAnswer::Ok;
}

}  // namespace

bool GenerateConfiguration(const WizardSettings& settings, const Directories& directories,
                           FileOperations& files, MessagePresenter& presenter)
{
    ConfigPaths paths;
    if (!buildPaths(directories, files, paths)) return false;

    // The template would refuse these settings only after both files had been
    // emptied; refuse them while everything is still in place.
    if (!tuvexTemplateAccepts(settings)) {
        ShowMessage(presenter, kCodeTuvexNotWritten);
        return false;
    }

    for (const std::string* path : {&paths.pelkorCnf, &paths.archivePelkorCnf, &paths.pelkorIni,
                                    &paths.archivePelkorIni, &paths.tuvexIni, &paths.archiveTuvexIni})
        files.resetAttributes(*path);

    // Code 33 names pelkor.ini although it is asked for pelkor.cnf here; the
    // text is the program's own and is kept.
    if (files.exists(paths.pelkorCnf) && !archive(files, paths.pelkorCnf, paths.archivePelkorCnf)) {
        if (!confirmed(presenter, kCodeArchiveFailed)) return false;
    }
    // pelkor.ini is replaced or deleted below either way, so a lost archive
    // would lose it: ask as for pelkor.cnf.
    if (files.exists(paths.pelkorIni) && !archive(files, paths.pelkorIni, paths.archivePelkorIni)) {
        if (!confirmed(presenter, kCodeArchiveFailed)) return false;
    }

    const bool makeCnf = settings.MakeCnf == 1;
    std::unique_ptr<OutputFile> cardManagerFile =
        files.openForWriting(makeCnf ? paths.pelkorCnf : paths.pelkorIni);
    if (!cardManagerFile) {
        ShowMessage(presenter, makeCnf ? kCodeCnfNotOpened : kCodeIniNotOpened);
        return false;
    }
    const std::string& otherFile = makeCnf ? paths.pelkorIni : paths.pelkorCnf;
    if (files.exists(otherFile)) files.remove(otherFile);

    if (files.exists(paths.tuvexIni) && !archive(files, paths.tuvexIni, paths.archiveTuvexIni)) {
        if (!confirmed(presenter, kCodeTuvexArchiveFailed)) return false;
    }

    if (!files.createEmpty(paths.tuvexIni)) {
        ShowMessage(presenter, kCodeTuvexNotCreated);
        return false;
    }

    std::unique_ptr<TuvexSink> sink = files.tuvexSink(paths.tuvexIni);
    if (!writeTuvexIni(*sink, settings)) {
        ShowMessage(presenter, kCodeTuvexNotWritten);
        return false;
    }

    const ReaderSettings& r1 = settings.reader1;
    const ReaderSettings& r2 = settings.reader2;
    const bool written = makeCnf ? writePelkorCnf(*cardManagerFile, settings.Topology, r1.UseCps,
                                                  r1.UseAmbrel, r2.UseCps, r2.UseAmbrel)
                                 : writePelkorIni(*cardManagerFile, settings.Topology, r1.UseCps,
                                                  r1.UseAmbrel, r2.UseCps, r2.UseAmbrel);
    // A close that loses buffered bytes is a failed write too.
    if (!written || !cardManagerFile->close()) {
        ShowMessage(presenter, makeCnf ? kCodeCnfNotWritten : kCodeIniNotWritten);
        return false;
    }
    return true;
}

}  // namespace calveno
