#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Writes FIT files for the tests and the benchmarks: a header of 12 or 14 bytes, definition and data messages in
// either byte order (with developer fields when asked), normal or compressed-timestamp record headers, and the
// CRCs. Standard C++ only, so the benchmarks share it.
class FitWriter {
public:
    struct Field {
        std::uint8_t Number = 0;
        std::uint8_t Size = 0;
        std::uint8_t BaseType = 0;
    };
    struct Session {
        std::uint32_t Start = 0; // FIT time: seconds since 1989-12-31 00:00 UTC
        std::uint8_t Sport = 1;
        std::uint32_t ElapsedMilliseconds = 0;
        std::uint32_t TimerMilliseconds = 0;
        std::uint32_t DistanceCentimeters = 0;
    };

    static constexpr std::uint8_t EnumType = 0x00;
    static constexpr std::uint8_t Uint32Type = 0x86;
    static constexpr std::uint8_t Sint32Type = 0x85;
    static constexpr std::uint8_t Uint16Type = 0x84;
    static constexpr std::uint8_t ByteType = 0x0D;
    static constexpr std::uint16_t SessionMessage = 18;
    static constexpr std::uint16_t RecordMessage = 20;
    static constexpr std::uint16_t FileIdMessage = 0;
    static constexpr std::int64_t FitEpoch = 631065600; // 1989-12-31 00:00 UTC in Unix time

    void Define(int local, std::uint16_t global, std::vector<Field> fields, bool bigEndian = false,
                std::vector<std::uint8_t> developerSizes = {});
    // One value a field, written in the field's size and the definition's byte order; developer fields are zeros.
    void Data(int local, const std::vector<std::uint64_t> &values);
    // The same with a compressed-timestamp header (local types 0 to 3).
    void CompressedData(int local, unsigned timeOffset, const std::vector<std::uint64_t> &values);

    // A file-id message, then a session message on local type 1 in the byte order asked.
    void AddSession(const Session &session, bool bigEndian = false);
    // Record messages one a second from start: timestamp, position and distance, with compressed headers after
    // the first when asked.
    void AddRecords(std::uint32_t start, int count, bool compressed = false);

    // The whole file; headerSize 12 leaves out the header's CRC.
    std::string Bytes(int headerSize = 14) const;

    static std::uint16_t Crc(const std::string &bytes, std::size_t from, std::size_t to);

private:
    struct Definition {
        bool BigEndian = false;
        std::vector<Field> Fields;
        std::vector<std::uint8_t> DeveloperSizes;
    };
    void Put(std::uint64_t value, std::size_t size, bool bigEndian);
    void Values(const Definition &definition, const std::vector<std::uint64_t> &values);

    std::string Records;
    std::map<int, Definition> Definitions;
    bool SessionDefined = false;
    bool RecordDefined = false;
};
