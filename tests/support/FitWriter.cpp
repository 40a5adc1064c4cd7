#include "FitWriter.h"

#include <array>

namespace {

constexpr std::uint8_t DefinitionHeader = 0x40;
constexpr std::uint8_t DeveloperFlag = 0x20;
constexpr std::uint8_t CompressedHeader = 0x80;
constexpr int SessionLocal = 1;
constexpr int RecordLocal = 2;
constexpr int FileIdLocal = 0;
constexpr std::uint8_t ActivityFileType = 4;
constexpr std::uint16_t ProfileVersion = 2100;
constexpr std::uint8_t ProtocolVersion = 0x20;

} // namespace

void FitWriter::Put(std::uint64_t value, std::size_t size, bool bigEndian) {
    for (std::size_t i = 0; i < size; ++i) {
        const std::size_t shift = 8 * (bigEndian ? size - 1 - i : i);
        Records.push_back(static_cast<char>(shift < 64 ? (value >> shift) & 0xFF : 0));
    }
}

void FitWriter::Define(int local, std::uint16_t global, std::vector<Field> fields, bool bigEndian,
                       std::vector<std::uint8_t> developerSizes) {
    Records.push_back(static_cast<char>(DefinitionHeader | (developerSizes.empty() ? 0 : DeveloperFlag) | local));
    Records.push_back(0);
    Records.push_back(bigEndian ? 1 : 0);
    Put(global, 2, bigEndian);
    Records.push_back(static_cast<char>(fields.size()));
    for (const Field &field : fields) {
        Records.push_back(static_cast<char>(field.Number));
        Records.push_back(static_cast<char>(field.Size));
        Records.push_back(static_cast<char>(field.BaseType));
    }
    if (!developerSizes.empty()) {
        Records.push_back(static_cast<char>(developerSizes.size()));
        for (std::size_t i = 0; i < developerSizes.size(); ++i) {
            Records.push_back(static_cast<char>(i));
            Records.push_back(static_cast<char>(developerSizes[i]));
            Records.push_back(0);
        }
    }
    Definitions[local] = {bigEndian, std::move(fields), std::move(developerSizes)};
}

void FitWriter::Values(const Definition &definition, const std::vector<std::uint64_t> &values) {
    for (std::size_t i = 0; i < definition.Fields.size(); ++i) {
        Put(i < values.size() ? values[i] : 0, definition.Fields[i].Size, definition.BigEndian);
    }
    for (const std::uint8_t size : definition.DeveloperSizes) {
        Records.append(size, '\x5A');
    }
}

void FitWriter::Data(int local, const std::vector<std::uint64_t> &values) {
    Records.push_back(static_cast<char>(local));
    Values(Definitions.at(local), values);
}

void FitWriter::CompressedData(int local, unsigned timeOffset, const std::vector<std::uint64_t> &values) {
    Records.push_back(static_cast<char>(CompressedHeader | (local << 5) | (timeOffset & 0x1F)));
    Values(Definitions.at(local), values);
}

void FitWriter::AddSession(const Session &session, bool bigEndian) {
    if (!SessionDefined) {
        Define(FileIdLocal, FileIdMessage, {{0, 1, EnumType}}, bigEndian);
        Data(FileIdLocal, {ActivityFileType});
        Define(SessionLocal, SessionMessage,
               {{253, 4, Uint32Type},
                {2, 4, Uint32Type},
                {5, 1, EnumType},
                {7, 4, Uint32Type},
                {8, 4, Uint32Type},
                {9, 4, Uint32Type}},
               bigEndian);
        SessionDefined = true;
    }
    const std::uint32_t end = session.Start + session.ElapsedMilliseconds / 1000;
    Data(SessionLocal, {end, session.Start, session.Sport, session.ElapsedMilliseconds, session.TimerMilliseconds,
                        session.DistanceCentimeters});
}

void FitWriter::AddRecords(std::uint32_t start, int count, bool compressed) {
    if (!RecordDefined) {
        Define(RecordLocal, RecordMessage,
               {{253, 4, Uint32Type}, {0, 4, Sint32Type}, {1, 4, Sint32Type}, {5, 4, Uint32Type}});
        RecordDefined = true;
    }
    constexpr std::uint32_t Latitude = 612553967;   // about 51.34 degrees in semicircles
    constexpr std::uint32_t Longitude = 4294967000; // a little west of 0 degrees
    constexpr std::uint32_t CentimetersPerSecond = 300;
    for (int i = 0; i < count; ++i) {
        const std::uint32_t time = start + static_cast<std::uint32_t>(i);
        const std::uint32_t distance = CentimetersPerSecond * static_cast<std::uint32_t>(i);
        if (compressed && i > 0) {
            CompressedData(RecordLocal, time & 0x1F,
                           {time, Latitude + static_cast<std::uint32_t>(i), Longitude, distance});
        } else {
            Data(RecordLocal, {time, Latitude + static_cast<std::uint32_t>(i), Longitude, distance});
        }
    }
}

std::uint16_t FitWriter::Crc(const std::string &bytes, std::size_t from, std::size_t to) {
    // The nibble-wise form of the protocol description, independent of the reader's table.
    constexpr std::array<std::uint16_t, 16> Table = {0x0000, 0xCC01, 0xD801, 0x1400, 0xF001, 0x3C00, 0x2800, 0xE401,
                                                     0xA001, 0x6C00, 0x7800, 0xB401, 0x5000, 0x9C01, 0x8801, 0x4400};
    std::uint16_t crc = 0;
    for (std::size_t i = from; i < to; ++i) {
        const auto byte = static_cast<std::uint8_t>(bytes[i]);
        std::uint16_t tmp = Table[crc & 0xF];
        crc = static_cast<std::uint16_t>(((crc >> 4) & 0x0FFF) ^ tmp ^ Table[byte & 0xF]);
        tmp = Table[crc & 0xF];
        crc = static_cast<std::uint16_t>(((crc >> 4) & 0x0FFF) ^ tmp ^ Table[(byte >> 4) & 0xF]);
    }
    return crc;
}

std::string FitWriter::Bytes(int headerSize) const {
    std::string file;
    file.push_back(static_cast<char>(headerSize));
    file.push_back(static_cast<char>(ProtocolVersion));
    file.push_back(static_cast<char>(ProfileVersion & 0xFF));
    file.push_back(static_cast<char>(ProfileVersion >> 8));
    const auto size = static_cast<std::uint32_t>(Records.size());
    for (int i = 0; i < 4; ++i) {
        file.push_back(static_cast<char>((size >> (8 * i)) & 0xFF));
    }
    file += ".FIT";
    if (headerSize >= 14) {
        const std::uint16_t crc = Crc(file, 0, 12);
        file.push_back(static_cast<char>(crc & 0xFF));
        file.push_back(static_cast<char>(crc >> 8));
    }
    file += Records;
    const std::uint16_t crc = Crc(file, 0, file.size());
    file.push_back(static_cast<char>(crc & 0xFF));
    file.push_back(static_cast<char>(crc >> 8));
    return file;
}
