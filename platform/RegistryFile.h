#pragma once

#include "platform/RegistryDocument.h"

#include <filesystem>
#include <functional>

enum class RegistryStatus {
    Ok,
    Missing, // no such key or value
    Damaged, // the file is not of the format; it is left as it is
    Failed,  // the file or its folder cannot be read or written
};

// What a change made of the document: nothing, so nothing is written; a change
// to write back; or a change the file cannot take, which fails the update.
enum class RegistryChange { None, Made, Refused };

// One root's file of the store. Readers see either the old or the new file,
// never a torn one: writers replace it by rename.
class CRegistryFile {
public:
    explicit CRegistryFile(std::filesystem::path file) : m_file(std::move(file)) {}

    // The document as the file holds it now; an absent file is an empty one.
    RegistryStatus Load(CRegistryDocument& document) const;

    // Under the store's lock: re-reads the file, lets `change` alter it and, when
    // `change` made a change, writes a temporary file, flushes it to disk and
    // renames it over the old one. A damaged file is never rewritten.
    RegistryStatus Update(const std::function<RegistryChange(CRegistryDocument&)>& change) const;

    const std::filesystem::path& Path() const { return m_file; }

private:
    RegistryStatus Replace(const std::string& text) const;

    std::filesystem::path m_file;
};
