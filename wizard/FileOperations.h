#pragma once
// The file operations of the Finish step, behind one seam so tests can make
// fail what a root-run file system never refuses. The system implementation
// keeps the Windows meaning of a read-only file on every platform: a file
// without any write permission bit cannot be deleted, emptied or written
// (the profile writer of common/ applies the same rule).

#include "PelkorWriter.h"
#include "TuvexTemplates.h"

#include <memory>
#include <string>

namespace calveno {

// A card-manager file opened for writing; closing reports whether every byte
// reached the file.
class OutputFile : public LineStream {
public:
    virtual bool close() = 0;
};

class FileOperations {
public:
    virtual ~FileOperations() = default;
    // A regular file that can be opened for reading.
    virtual bool exists(const std::string& path) = 0;
    // Deletes a file; refuses directories and read-only files.
    virtual bool remove(const std::string& path) = 0;
    // Copies `from` to `to`, failing when `to` already exists.
    virtual bool copy(const std::string& from, const std::string& to) = 0;
    // Clears the read-only state of an existing file; errors are the caller's
    // to ignore.
    virtual bool resetAttributes(const std::string& path) = 0;
    // Creates the file or empties it, then closes it.
    virtual bool createEmpty(const std::string& path) = 0;
    // Creates or empties the file and keeps it open for writing.
    virtual std::unique_ptr<OutputFile> openForWriting(const std::string& path) = 0;
    // Where the tuvex.ini template writes.
    virtual std::unique_ptr<TuvexSink> tuvexSink(const std::string& path) = 0;
};

class SystemFileOperations final : public FileOperations {
public:
    bool exists(const std::string& path) override;
    bool remove(const std::string& path) override;
    bool copy(const std::string& from, const std::string& to) override;
    bool resetAttributes(const std::string& path) override;
    bool createEmpty(const std::string& path) override;
    std::unique_ptr<OutputFile> openForWriting(const std::string& path) override;
    std::unique_ptr<TuvexSink> tuvexSink(const std::string& path) override;
};

}  // namespace calveno
