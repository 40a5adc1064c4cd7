#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/ActivityReader.h"

namespace pq {

// FIT activity files, decoded from the published protocol: a 12- or 14-byte header (its CRC checked when it has
// one), records with normal or compressed-timestamp headers, definition messages of either byte order with
// developer fields, and the file's CRC at its end; several FIT files in a row are read one after another. Each
// session message becomes an activity (a multisport file has one session per sport): its total timer time (the
// time without pauses), elapsed time, total distance, start time and sport. A start from a clock that was not
// set (seconds since the device started) takes the file's creation time when that is a date.
//
// A damaged file gives what it holds: at a fault (a message that cannot be read, a bad CRC, bytes after the end,
// the file ending early) the reading stops and the activities read before it are kept; records after the last
// session (a run cut off before its session was written) are made into a run of their own. Every activity of
// such a file carries a remark naming the fault and what was recovered. Only a file with nothing to keep fails.
class FitReader : public ActivityReader {
public:
    // Starts the name of a sport number without a name here.
    static constexpr std::string_view UnnamedSportPrefix = "Sport ";
    // The name of a FIT sport number ("Running", "Cycling"), or "Sport N" for one without a name here.
    static std::string SportName(unsigned sport);

private:
    enum class Stage { Header, Records, Crc };
    struct Field {
        std::uint8_t Number = 0;
        std::uint8_t Size = 0;
    };
    struct Definition {
        bool Defined = false;
        bool BigEndian = false;
        std::uint16_t Global = 0;
        std::uint32_t Size = 0;        // bytes of the data message after its header
        std::int32_t TimestampAt = -1; // offset of a 4-byte timestamp field, or -1
        std::vector<Field> Fields;
    };

    void Parse(std::string_view block) override;
    void End() override;
    void Consume(const std::uint8_t *&data, const std::uint8_t *end);
    // Takes one header, record or CRC when the bytes for it are there; false when more are needed.
    bool Step(const std::uint8_t *&data, const std::uint8_t *end);
    bool ReadHeader(const std::uint8_t *&data, std::size_t available);
    bool ReadRecord(const std::uint8_t *&data, std::size_t available);
    bool ReadCrc(const std::uint8_t *&data, std::size_t available);
    void ReadDefinition(const std::uint8_t *record, Definition &definition);
    // headerTimestamp: the time a compressed-timestamp header gives the message.
    void ReadSession(const Definition &definition, const std::uint8_t *fields,
                     std::optional<std::uint32_t> headerTimestamp);
    void ReadMessage(const Definition &definition, const std::uint8_t *fields, std::optional<std::uint32_t> time);
    void Take(const std::uint8_t *&data, std::size_t size);
    // A fault at the current byte: the reading stops there, keeping what was read when there is anything.
    void FailAt(std::string reason);
    // The run of the records since the last session, when there are any.
    void Rebuild();
    std::optional<std::int64_t> StartTime(std::uint32_t fitTime) const;

    // The records since the last session, for a run whose session is missing.
    struct Track {
        std::optional<std::uint32_t> First;
        std::uint32_t Last = 0;
        std::uint32_t Centimeters = 0;
        bool TimerEvents = false;
        std::optional<std::uint32_t> TimerStart; // the timer runs since then
        std::uint32_t TimerSeconds = 0;
    };

    Stage At = Stage::Header;
    std::string Pending; // the start of a header or record that the previous block cut off
    std::uint64_t Offset = 0;
    std::uint16_t Crc = 0;
    std::uint64_t DataLeft = 0;
    std::uint32_t LastTimestamp = 0;
    bool AnyFile = false;
    std::array<Definition, 16> Local;
    std::optional<std::uint32_t> Created; // the file's creation time, when it is a date
    std::optional<unsigned> TrackSport;   // the sport the file names outside its sessions
    Track Records;
    bool Stopped = false; // a fault stopped the reading; Fault says which
    std::string Fault;
    std::string FaultPlace;
    bool CutOff = false; // the fault is the file ending early
};

} // namespace pq
