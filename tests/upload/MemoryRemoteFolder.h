#pragma once

#include "upload/RemoteFolder.h"

#include "platform/VeskaroError.h"

#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace veskaro::test {

/// A remote folder in memory that logs every change ("put NAME", "rename A B", "remove NAME") and can be
/// told to refuse a rename over a file or to fail the nth put.
class MemoryRemoteFolder : public RemoteFolder {
public:
    std::map<std::string, std::string> files;
    std::vector<std::string> log;
    bool claimsRenameOver = true;
    bool refusesRenameOver = false;
    int failingPut = 0; // 1 fails the next put, 2 the one after it, ...
    std::uint64_t stopAfterBytes = 0;

    void makeFolder() override { log.push_back("make"); }
    std::vector<RemoteEntry> list() override {
        std::vector<RemoteEntry> entries;
        for (const auto& [name, bytes] : files)
            entries.push_back({name, bytes.size(), true});
        return entries;
    }
    std::optional<std::string> read(const std::string& name, std::size_t limit) override {
        const auto found = files.find(name);
        if (found == files.end())
            return std::nullopt;
        if (found->second.size() > limit)
            throw VeskaroError(name + " is too large");
        return found->second;
    }
    void put(const std::string& localPath, const std::string& name, const TransferCallback& sent) override {
        if (failingPut > 0 && --failingPut == 0)
            throw VeskaroError("552 Quota exceeded");
        std::ifstream in(localPath, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        files[name] = bytes.substr(0, bytes.size() / 2);
        if (!sent(bytes.size() / 2))
            throw VeskaroError(kUploadStoppedMessage);
        files[name] = bytes;
        sent(bytes.size());
        log.push_back("put " + name);
    }
    void rename(const std::string& from, const std::string& to) override {
        if (!files.count(from))
            throw VeskaroError("550 " + from + ": No such file");
        if (files.count(to) && (refusesRenameOver || !claimsRenameOver))
            throw VeskaroError("553 " + to + ": File exists");
        files[to] = files[from];
        files.erase(from);
        log.push_back("rename " + from + " " + to);
    }
    void remove(const std::string& name) override {
        if (!files.erase(name))
            throw VeskaroError("550 " + name + ": No such file");
        log.push_back("remove " + name);
    }
    bool renamesOver() const override { return claimsRenameOver; }
};

} // namespace veskaro::test
