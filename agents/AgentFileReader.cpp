#include "agents/AgentChunk.h"
#include "agents/AgentChunkDigest.h"
#include "agents/AgentFile.h"
#include "agents/AgentFileFormat.h"
#include "agents/AgentFileSource.h"
#include "core/KitException.h"
#include "core/StringTable.h"
#include "platform/ByteReader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

namespace {

using namespace AgentFileFormat;

// Agent chunks up to this size are read on the stack; a 32 x 32 thumbnail with
// its texts takes about 3 KiB.
constexpr std::size_t kSmallChunkSize = 16 * 1024;

bool HasTag(const std::uint8_t* header, const char* tag) {
    return std::memcmp(header, tag, kTagSize) == 0;
}

struct AgentFileContents {
    std::vector<std::unique_ptr<CAgent>> agents;
    std::vector<std::unique_ptr<CDependencyFile>> carried;
};

// One pass over an agent file from its magic to its last chunk.
//
// Which message a damaged file gets:
// - IDS_NOT_A_KIV_FILE: the first four bytes are not the magic.
// - IDS_UNEXPECTED_END_OF_FILE: the file ends inside a structure: a chunk whose declared length
// runs
//   past the end of the file, or a tail of 1 to 7 bytes too short for a header.
// - IDS_UNEXPECTED_FILE_FORMAT: a complete chunk whose contents do not fit it: a string without its
//   terminator, a count, table or picture running past the chunk, more than 128
//   references, an agent chunk under 42 bytes or over kMaxAgentChunkSize, a
//   "file" chunk too short for its fixed part or its name, a carried name over
//   kMaxCarriedNameLength, carried contents larger than the chunk holds, or a
//   chunk that ends beyond the 32-bit offsets.
class CAgentFileReader {
public:
    CAgentFileReader(CAgentFile& file, IAgentFileSource& source) : m_file(file), m_source(source) {}

    // Every agent and carried file, in file order.
    AgentFileContents Run() {
        ReadMagic();
        while (ReadChunk()) {
        }
        return std::move(m_contents);
    }

private:
    void ReadMagic() {
        std::uint8_t magic[kTagSize];
        if (m_source.Read(magic, kTagSize) != kTagSize || !HasTag(magic, kMagic)) {
            ThrowStringId(IDS_NOT_A_KIV_FILE, m_file.Path().c_str());
        }
        m_position = kTagSize;
    }

    // False at the end of the file. A tail too short for a header is a file
    // that ends inside a structure, just as a chunk cut short is.
    bool ReadChunk() {
        std::uint8_t header[kChunkHeaderSize];
        const std::size_t got = m_source.Read(header, kChunkHeaderSize);
        if (got == 0) {
            return false;
        }
        if (got != kChunkHeaderSize) {
            FailEndOfFile();
        }
        const std::uint64_t chunkOffset = m_position;
        const std::uint32_t length = NeedInChunk(CByteReader(header + kTagSize, 4).U32());
        m_position += kChunkHeaderSize;
        if (length > m_source.Remaining()) {
            FailEndOfFile();
        }
        if (m_position + length > kMaxFileSize) {
            FailChunkFormat();
        }
        if (HasTag(header, kAgentTag)) {
            ReadAgentChunk(static_cast<std::uint32_t>(chunkOffset), length);
        } else if (HasTag(header, kFileTag)) {
            ReadFileChunk(static_cast<std::uint32_t>(chunkOffset), length);
        } else {
            m_source.Skip(length);
        }
        m_position += length;
        return true;
    }

    [[noreturn]] void FailEndOfFile() const {
        ThrowStringId(IDS_UNEXPECTED_END_OF_FILE, m_file.Path().c_str());
    }

    void ReadAgentChunk(std::uint32_t chunkOffset, std::uint32_t length) {
        if (length < kMinAgentChunkSize || length > kMaxAgentChunkSize) {
            FailChunkFormat();
        }
        std::uint8_t* bytes = ChunkBuffer(length);
        if (m_source.Read(bytes, length) != length) {
            FailEndOfFile();
        }
        const CAgentChunkPlace place{&m_file, chunkOffset, length,
                                     AgentChunkDigest(std::span(bytes, length))};
        CByteReader reader(bytes, length);
        CAgentFields fields = ParseAgentFields(reader);
        CAgentPicture picture;
        ParsePicture(reader, chunkOffset + kChunkHeaderSize, picture);
        auto agent = std::make_unique<CAgent>(std::move(fields), std::move(picture), place);
        m_contents.agents.push_back(std::move(agent));
    }

    // Most agent chunks fit the reader's own array: a buffer taken from the
    // heap for each file would land past the memory that the catalogue keeps,
    // and touching fresh pages is what listing costs most. One heap buffer
    // serves the larger chunks and grows only for a larger one still.
    std::uint8_t* ChunkBuffer(std::uint32_t length) {
        if (length <= m_smallChunk.size()) {
            return m_smallChunk.data();
        }
        if (m_buffer.size() < length) {
            m_buffer.clear();
            m_buffer.shrink_to_fit();
            m_buffer.resize(length);
        }
        return m_buffer.data();
    }

    // `dataOffset` is where the chunk's data starts in the file. A file that
    // can be read again keeps the pixels until they are shown.
    void ParsePicture(CByteReader& reader, std::uint32_t dataOffset, CAgentPicture& picture) const {
        const AgentPictureBytes stored = ParsePictureBytes(reader);
        if (stored.pixels.empty()) {
            return;
        }
        const auto pixelOffset =
            static_cast<std::uint32_t>(dataOffset + reader.Position() - stored.pixels.size());
        if (m_source.ReadableLater()) {
            picture = CAgentPicture::InFile(stored.width, stored.height, kPicturePixelFormat,
                                            pixelOffset);
        } else {
            DecodePixels(stored.pixels, stored.width, stored.height, picture);
        }
    }

    // Only the fixed part and the name are read; the contents are skipped, so
    // listing a file costs the same whatever it carries.
    void ReadFileChunk(std::uint32_t chunkOffset, std::uint32_t length) {
        std::uint8_t head[kFileChunkFixedSize + kMaxCarriedNameLength + 1];
        const std::size_t wanted = std::min<std::size_t>(length, sizeof head);
        if (m_source.Read(head, wanted) != wanted) {
            FailEndOfFile();
        }
        CByteReader reader(head, wanted);
        CarriedFileHead parsed = ParseCarriedFileHead(reader);
        const std::uint64_t headLength = reader.Position();
        // The contents must lie inside the chunk: extraction copies exactly
        // their size from their offset.
        if (parsed.size > length - headLength) {
            FailChunkFormat();
        }
        const auto dataOffset =
            static_cast<std::uint32_t>(chunkOffset + kChunkHeaderSize + headLength);
        m_source.Skip(length - wanted);
        m_contents.carried.push_back(std::make_unique<CDependencyFile>(
            &m_file, dataOffset, std::move(parsed.name), parsed.size, parsed.type));
    }

    CAgentFile& m_file;
    IAgentFileSource& m_source;
    AgentFileContents m_contents;
    std::array<std::uint8_t, kSmallChunkSize> m_smallChunk;
    std::vector<std::uint8_t> m_buffer;
    std::uint64_t m_position = 0;
};

} // namespace

// Memory failures other than a picture's become the program's own message.
void CAgentFile::Load(IAgentFileSource& source) {
    try {
        AgentFileContents contents = CAgentFileReader(*this, source).Run();
        m_agents = std::move(contents.agents);
        m_carriedFiles = std::move(contents.carried);
    } catch (const std::bad_alloc&) {
        ThrowStringId(IDS_ERROR_ALLOCATING_MEMORY);
    }
}

CAgentFile::CAgentFile(const std::string& path) : m_path(path) {
    CFileAgentSource source(path);
    Load(source);
    m_identity = source.Identity();
}

CAgentFile::CAgentFile(const std::string& path, IAgentFileSource& source) : m_path(path) {
    Load(source);
}

CAgentFile::CAgentFile(const std::string& path, CFileAgentSource& source) : m_path(path) {
    Load(source);
    m_identity = source.Identity();
}
