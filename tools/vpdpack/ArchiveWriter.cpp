#include "ArchiveWriter.h"

#include "Rar20Encoder.h"
#include "resources/ArchiveFormat.h"
#include "resources/Crc32.h"
#include "resources/Rar20Cipher.h"

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace archive;

namespace {

// 2004-01-01 00:00:00 as an MS-DOS date and time: fixed, so that the same
// files always make the same archive.
constexpr uint32_t kFixedDosTime = (24u << 25) | (1u << 21) | (1u << 16);

class ByteWriter {
public:
    std::vector<unsigned char> bytes;
    void u8(unsigned v) { bytes.push_back(static_cast<unsigned char>(v)); }
    void u16(unsigned v)
    {
        u8(v & 0xFF);
        u8((v >> 8) & 0xFF);
    }
    void u32(uint32_t v)
    {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    // The header CRC is the low half of the CRC-32 of everything after it.
    void sealHeader()
    {
        uint32_t crc = crc32(bytes.data() + 2, bytes.size() - 2);
        bytes[0] = static_cast<unsigned char>(crc);
        bytes[1] = static_cast<unsigned char>(crc >> 8);
    }
};

using Bytes = std::vector<unsigned char>;
constexpr size_t kTrialBytes = 256 * 1024;

struct PackedMember {
    const PackInput* input;
    std::vector<unsigned char> packed;
    bool stored = true;
    bool solid = false;
};

} // namespace

std::string archiveMemberName(const std::string& path)
{
    std::string p = path;
    while (p.size() >= 2 && p[0] == '.' && p[1] == '/')
        p.erase(0, 2);
    for (char& c : p) {
        if (c == '/')
            c = '\\';
        else if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return p;
}

bool writeArchive(const std::string& path, const std::vector<PackInput>& inputs, const PackOptions& options,
                  std::string& error)
{
    std::vector<PackedMember> members;
    for (const PackInput& in : inputs)
        members.push_back({&in, {}, true, false});
    // Empty members are stored, and some readers lose a solid run's thread at
    // a stored member between two compressed ones: in a compressed solid
    // archive the empty members go last. Lookups are by name, so the order
    // changes nothing else.
    if (options.solid && options.method != PackMethod::Stored)
        std::stable_partition(members.begin(), members.end(),
                              [](const PackedMember& m) { return !m.input->data.empty(); });

    if (options.method != PackMethod::Stored) {
        Rar20Encoder::Mode mode =
            options.method == PackMethod::Audio ? Rar20Encoder::Mode::Audio : Rar20Encoder::Mode::Normal;
        if (options.solid) {
            Rar20Encoder encoder(mode);
            std::vector<PackedMember*> run;
            for (PackedMember& m : members) {
                if (m.input->data.empty())
                    continue;
                encoder.addMember(m.input->data.data(), m.input->data.size());
                m.stored = false;
                m.solid = !run.empty();
                run.push_back(&m);
            }
            std::vector<std::vector<unsigned char>> streams = encoder.finish();
            for (size_t i = 0; i < run.size(); ++i)
                run[i]->packed = std::move(streams[i]);
        } else {
            for (PackedMember& m : members) {
                if (m.input->data.empty())
                    continue;
                // Already-compressed files (PNG, JPEG) show it in their first
                // 256 KiB: those are stored without parsing the rest.
                const Bytes& d = m.input->data;
                if (d.size() > kTrialBytes) {
                    Rar20Encoder trial(mode);
                    trial.addMember(d.data(), kTrialBytes);
                    if (trial.finish()[0].size() * 100 >= kTrialBytes * 99)
                        continue;
                }
                Rar20Encoder encoder(mode);
                encoder.addMember(m.input->data.data(), m.input->data.size());
                std::vector<unsigned char> packed = std::move(encoder.finish()[0]);
                if (packed.size() < m.input->data.size()) {
                    m.packed = std::move(packed);
                    m.stored = false;
                }
            }
        }
    }

    ByteWriter out;
    out.bytes.assign(kMarkerRar, kMarkerRar + kMarkerSize);
    ByteWriter mainHeader;
    mainHeader.u16(0);
    mainHeader.u8(kTypeArchive);
    mainHeader.u16(options.solid ? kArchiveSolid : 0);
    mainHeader.u16(kArchiveHeaderSize);
    mainHeader.u16(0);
    mainHeader.u32(0);
    mainHeader.sealHeader();
    out.bytes.insert(out.bytes.end(), mainHeader.bytes.begin(), mainHeader.bytes.end());

    std::unique_ptr<Rar20Cipher> cipher;
    if (!options.password.empty())
        cipher = std::make_unique<Rar20Cipher>();

    for (PackedMember& m : members) {
        const PackInput& in = *m.input;
        std::vector<unsigned char> data = m.stored ? in.data : std::move(m.packed);
        uint16_t flags = kBlockHasData | kFileWindow1024K;
        if (m.solid)
            flags |= kFileSolid;
        if (cipher) {
            // Each member is keyed afresh and padded to whole cipher blocks.
            data.resize((data.size() + kCipherBlock - 1) / kCipherBlock * kCipherBlock, 0);
            cipher->setKey(options.password.c_str());
            cipher->encrypt(data.data(), data.size());
            flags |= kFileEncrypted;
        }
        if (data.size() > 0xFFFFFFFFu || in.data.size() > 0xFFFFFFFFu || in.name.size() > 0xFFFF - kFileHeaderSize) {
            error = "member too large for the archive format: " + in.name;
            return false;
        }
        ByteWriter h;
        h.u16(0);
        h.u8(kTypeFile);
        h.u16(flags);
        h.u16(static_cast<unsigned>(kFileHeaderSize + in.name.size()));
        h.u32(static_cast<uint32_t>(data.size()));
        h.u32(static_cast<uint32_t>(in.data.size()));
        h.u8(kHostMsDos);
        h.u32(crc32(in.data.data(), in.data.size()));
        h.u32(kFixedDosTime);
        h.u8(kMaxVersion);
        h.u8(m.stored ? kMethodStored : kMethodNormal);
        h.u16(static_cast<unsigned>(in.name.size()));
        h.u32(kAttributeArchive);
        h.bytes.insert(h.bytes.end(), in.name.begin(), in.name.end());
        h.sealHeader();
        out.bytes.insert(out.bytes.end(), h.bytes.begin(), h.bytes.end());
        out.bytes.insert(out.bytes.end(), data.begin(), data.end());
    }

    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        error = "cannot write " + path;
        return false;
    }
    bool ok = std::fwrite(out.bytes.data(), 1, out.bytes.size(), f) == out.bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        error = "cannot write " + path;
        std::remove(path.c_str());
    }
    return ok;
}
