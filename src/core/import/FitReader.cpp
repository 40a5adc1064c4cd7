#include "import/FitReader.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string>

#include "import/FitCrc.h"

namespace pq {

namespace {

constexpr std::size_t MinHeaderSize = 12;
constexpr std::size_t HeaderSizeWithCrc = 14;
constexpr std::size_t DataSizeAt = 4;
constexpr std::size_t SignatureAt = 8;
constexpr std::size_t HeaderCrcAt = 12;
constexpr std::string_view Signature = ".FIT";
constexpr std::size_t CrcSize = 2;

// Record headers.
constexpr std::uint8_t CompressedTimestampBit = 0x80;
constexpr std::uint8_t DefinitionBit = 0x40;
constexpr std::uint8_t DeveloperDataBit = 0x20;
constexpr std::uint8_t LocalTypeMask = 0x0F;
constexpr int CompressedLocalTypeShift = 5;
constexpr std::uint8_t CompressedLocalTypeMask = 0x03;
constexpr std::uint32_t TimeOffsetMask = 0x1F;
constexpr std::uint32_t TimeOffsetRollover = 0x20;

// Definition messages: header, reserved byte, architecture, global number (2 bytes), field count, then 3 bytes a
// field; with developer data a count and 3 bytes a developer field follow.
constexpr std::size_t DefinitionFixedSize = 6;
constexpr std::size_t FieldDefinitionSize = 3;
constexpr std::uint8_t BigEndianArchitecture = 1;

// Messages and fields read here.
constexpr std::uint16_t FileIdMessage = 0;
constexpr std::uint8_t TimeCreatedField = 4;
constexpr std::uint16_t SportMessage = 12;
constexpr std::uint8_t SportOfSportField = 0;
constexpr std::uint16_t RecordMessage = 20;
constexpr std::uint8_t RecordDistanceField = 5;
constexpr std::uint16_t EventMessage = 21;
constexpr std::uint8_t EventField = 0;
constexpr std::uint8_t EventTypeField = 1;
constexpr std::uint8_t TimerEvent = 0;
constexpr std::uint8_t StartEventType = 0;
constexpr std::array<std::uint8_t, 4> StopEventTypes = {1, 4, 8, 9}; // stop, stop all, stop disable (all)
constexpr std::uint16_t SessionMessage = 18;
constexpr std::uint8_t TimestampField = 253;
constexpr std::uint8_t StartTimeField = 2;
constexpr std::uint8_t SportField = 5;
constexpr std::uint8_t TotalElapsedTimeField = 7;
constexpr std::uint8_t TotalTimerTimeField = 8;
constexpr std::uint8_t TotalDistanceField = 9;
constexpr std::uint32_t InvalidUint32 = 0xFFFFFFFF;
constexpr std::uint8_t InvalidEnum = 0xFF;
constexpr double MillisecondsPerSecond = 1000;
constexpr std::uint32_t MillisecondsPerWhole = 1000;
constexpr double CentimetersPerMeter = 100;
constexpr std::uint8_t RunningSport = 1;

// FIT times count seconds from 1989-12-31 00:00 UTC; values below this are seconds since the device started,
// not dates.
constexpr std::int64_t FitEpoch = 631065600;
constexpr std::uint32_t FirstDateTime = 0x10000000;

constexpr std::array<std::string_view, 20> SportNames = {"Generic",
                                                         "Running",
                                                         "Cycling",
                                                         "Transition",
                                                         "Fitness Equipment",
                                                         "Swimming",
                                                         "Basketball",
                                                         "Soccer",
                                                         "Tennis",
                                                         "American Football",
                                                         "Training",
                                                         "Walking",
                                                         "Cross Country Skiing",
                                                         "Alpine Skiing",
                                                         "Snowboarding",
                                                         "Rowing",
                                                         "Mountaineering",
                                                         "Hiking",
                                                         "Multisport",
                                                         "Paddling"};

std::uint64_t ReadUnsigned(const std::uint8_t *bytes, std::size_t size, bool bigEndian) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t byte = bigEndian ? bytes[i] : bytes[size - 1 - i];
        value = (value << 8) | byte;
    }
    return value;
}

// A span of seconds as a runner reads it: "42:10", "1:02:05".
std::string Span(std::uint32_t seconds) {
    constexpr std::uint32_t Minute = 60;
    constexpr std::uint32_t Hour = 3600;
    char text[32];
    if (seconds >= Hour) {
        std::snprintf(text, sizeof text, "%u:%02u:%02u", seconds / Hour, seconds % Hour / Minute, seconds % Minute);
    } else {
        std::snprintf(text, sizeof text, "%u:%02u", seconds / Minute, seconds % Minute);
    }
    return text;
}

std::string Hex(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

} // namespace

std::string FitReader::SportName(unsigned sport) {
    return sport < SportNames.size() ? std::string(SportNames[sport])
                                     : std::string(UnnamedSportPrefix) + std::to_string(sport);
}

void FitReader::Parse(std::string_view block) {
    if (Stopped) {
        return;
    }
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(block.data());
    if (Pending.empty()) {
        const std::uint8_t *data = bytes;
        Consume(data, bytes + block.size());
        Pending.assign(reinterpret_cast<const char *>(data), static_cast<std::size_t>(bytes + block.size() - data));
        return;
    }
    Pending.append(block);
    const auto *start = reinterpret_cast<const std::uint8_t *>(Pending.data());
    const std::uint8_t *data = start;
    Consume(data, start + Pending.size());
    Pending.erase(0, static_cast<std::size_t>(data - start));
}

void FitReader::Consume(const std::uint8_t *&data, const std::uint8_t *end) {
    while (!Failed() && !Stopped && Step(data, end)) {
    }
}

bool FitReader::Step(const std::uint8_t *&data, const std::uint8_t *end) {
    const auto available = static_cast<std::size_t>(end - data);
    switch (At) {
    case Stage::Header:
        return ReadHeader(data, available);
    case Stage::Records:
        if (DataLeft == 0) {
            At = Stage::Crc;
            return true;
        }
        return ReadRecord(data, available);
    case Stage::Crc:
        return ReadCrc(data, available);
    }
    return false;
}

void FitReader::Take(const std::uint8_t *&data, std::size_t size) {
    Crc = FitCrc(Crc, data, size);
    data += size;
    Offset += size;
}

bool FitReader::ReadHeader(const std::uint8_t *&data, std::size_t available) {
    if (available == 0) {
        return false;
    }
    const std::size_t size = data[0];
    if (size < MinHeaderSize) {
        FailAt(AnyFile ? "bytes after the end of the FIT data"
                       : "not a FIT file (its header size is " + std::to_string(size) + ")");
        return false;
    }
    if (available < size) {
        return false;
    }
    if (std::string_view(reinterpret_cast<const char *>(data) + SignatureAt, Signature.size()) != Signature) {
        FailAt(AnyFile ? "bytes after the end of the FIT data" : "not a FIT file (no \".FIT\" in its header)");
        return false;
    }
    if (size >= HeaderSizeWithCrc) {
        const auto stored = static_cast<std::uint16_t>(ReadUnsigned(data + HeaderCrcAt, CrcSize, false));
        const std::uint16_t computed = FitCrc(0, data, HeaderCrcAt);
        // A header CRC of 0 means the writer did not compute one.
        if (stored != 0 && stored != computed) {
            FailAt("the header's CRC is " + Hex(stored) + " but its bytes give " + Hex(computed));
            return false;
        }
    }
    DataLeft = ReadUnsigned(data + DataSizeAt, 4, false);
    Crc = 0;
    Local = {};
    LastTimestamp = 0;
    Created.reset();
    Take(data, size);
    At = Stage::Records;
    return true;
}

bool FitReader::ReadRecord(const std::uint8_t *&data, std::size_t available) {
    if (available == 0) {
        return false;
    }
    const std::uint8_t header = data[0];
    std::size_t size = 0;
    if ((header & CompressedTimestampBit) == 0 && (header & DefinitionBit) != 0) {
        if (available < DefinitionFixedSize) {
            return false;
        }
        size = DefinitionFixedSize + FieldDefinitionSize * data[DefinitionFixedSize - 1];
        if ((header & DeveloperDataBit) != 0) {
            if (available < size + 1) {
                return false;
            }
            size += 1 + FieldDefinitionSize * data[size];
        }
        if (size > DataLeft) {
            FailAt("a definition message runs past the end of the FIT data");
            return false;
        }
        if (available < size) {
            return false;
        }
        ReadDefinition(data, Local[header & LocalTypeMask]);
        if (Failed() || Stopped) {
            return false;
        }
        DataLeft -= size;
        Take(data, size);
        return true;
    }
    const bool compressed = (header & CompressedTimestampBit) != 0;
    const unsigned local =
        compressed ? (header >> CompressedLocalTypeShift) & CompressedLocalTypeMask : header & LocalTypeMask;
    const Definition &definition = Local[local];
    if (!definition.Defined) {
        FailAt("a data message of local type " + std::to_string(local) + " comes before its definition");
        return false;
    }
    size = 1 + std::size_t{definition.Size};
    if (size > DataLeft) {
        FailAt("a data message runs past the end of the FIT data");
        return false;
    }
    if (available < size) {
        return false;
    }
    if (compressed) {
        // The 5-bit offset counts on from the last full timestamp, rolling over every 32 seconds.
        const std::uint32_t offset = header & TimeOffsetMask;
        std::uint32_t timestamp = (LastTimestamp & ~TimeOffsetMask) + offset;
        if (offset < (LastTimestamp & TimeOffsetMask)) {
            timestamp += TimeOffsetRollover;
        }
        LastTimestamp = timestamp;
    } else if (definition.TimestampAt >= 0) {
        LastTimestamp =
            static_cast<std::uint32_t>(ReadUnsigned(data + 1 + definition.TimestampAt, 4, definition.BigEndian));
    }
    if (definition.Global == SessionMessage) {
        ReadSession(definition, data + 1, compressed ? std::optional(LastTimestamp) : std::nullopt);
    } else {
        const bool timed = compressed || definition.TimestampAt >= 0;
        ReadMessage(definition, data + 1, timed ? std::optional(LastTimestamp) : std::nullopt);
    }
    DataLeft -= size;
    Take(data, size);
    return true;
}

void FitReader::ReadDefinition(const std::uint8_t *record, Definition &definition) {
    const std::uint8_t architecture = record[2];
    if (architecture > BigEndianArchitecture) {
        FailAt("a definition message's architecture is " + std::to_string(architecture) + ", neither 0 nor 1");
        return;
    }
    definition = Definition();
    definition.Defined = true;
    definition.BigEndian = architecture == BigEndianArchitecture;
    definition.Global = static_cast<std::uint16_t>(ReadUnsigned(record + 3, 2, definition.BigEndian));
    const std::size_t count = record[DefinitionFixedSize - 1];
    definition.Fields.reserve(count);
    const std::uint8_t *field = record + DefinitionFixedSize;
    for (std::size_t i = 0; i < count; ++i, field += FieldDefinitionSize) {
        if (field[0] == TimestampField && field[1] == 4) {
            definition.TimestampAt = static_cast<std::int32_t>(definition.Size);
        }
        definition.Fields.push_back({field[0], field[1]});
        definition.Size += field[1];
    }
    if ((record[0] & DeveloperDataBit) != 0) {
        // Developer fields are skipped by their sizes; what they mean is described elsewhere in the file.
        const std::size_t developerCount = *field++;
        for (std::size_t i = 0; i < developerCount; ++i, field += FieldDefinitionSize) {
            definition.Size += field[1];
        }
    }
}

void FitReader::ReadSession(const Definition &definition, const std::uint8_t *fields,
                            std::optional<std::uint32_t> headerTimestamp) {
    std::optional<std::uint32_t> start, elapsed, timer, distance;
    std::optional<std::uint32_t> timestamp = headerTimestamp;
    unsigned sport = InvalidEnum;
    for (const Field &field : definition.Fields) {
        const std::uint8_t *value = fields;
        fields += field.Size;
        if (field.Size == 1 && field.Number == SportField) {
            sport = value[0];
            continue;
        }
        if (field.Size != 4) {
            continue;
        }
        const auto number = static_cast<std::uint32_t>(ReadUnsigned(value, 4, definition.BigEndian));
        if (number == InvalidUint32) {
            continue;
        }
        switch (field.Number) {
        case StartTimeField:
            start = number;
            break;
        case TimestampField:
            timestamp = number;
            break;
        case TotalElapsedTimeField:
            elapsed = number;
            break;
        case TotalTimerTimeField:
            timer = number;
            break;
        case TotalDistanceField:
            distance = number;
            break;
        default:
            break;
        }
    }
    Activity activity;
    if (timer || elapsed) {
        activity.MovingSeconds = static_cast<double>(timer ? *timer : *elapsed) / MillisecondsPerSecond;
        activity.ElapsedSeconds = static_cast<double>(elapsed ? *elapsed : *timer) / MillisecondsPerSecond;
    }
    if (distance) {
        activity.DistanceMeters = *distance / CentimetersPerMeter;
    }
    if (!start && timestamp && elapsed && *timestamp >= FirstDateTime + *elapsed / MillisecondsPerWhole) {
        start = *timestamp - *elapsed / MillisecondsPerWhole;
    }
    if (start) {
        activity.Start = StartTime(*start);
    }
    if (sport != InvalidEnum) {
        activity.Sport = SportName(sport);
    }
    activity.Running = sport == RunningSport;
    Add(std::move(activity));
    Records = Track();
}

std::optional<std::int64_t> FitReader::StartTime(std::uint32_t fitTime) const {
    if (fitTime >= FirstDateTime) {
        return FitEpoch + fitTime;
    }
    if (Created) {
        return FitEpoch + *Created;
    }
    return std::nullopt;
}

// The messages around the sessions that a run rebuilt from its records needs: the file's creation time, the
// sport, the records' times and distances, and the timer's starts and stops.
void FitReader::ReadMessage(const Definition &definition, const std::uint8_t *fields,
                            std::optional<std::uint32_t> time) {
    const auto value = [&definition, fields](std::uint8_t number, std::size_t size) -> std::optional<std::uint32_t> {
        const std::uint8_t *at = fields;
        for (const Field &field : definition.Fields) {
            if (field.Number == number && field.Size == size) {
                const auto read = static_cast<std::uint32_t>(ReadUnsigned(at, size, definition.BigEndian));
                const bool invalid = size == 1 ? read == InvalidEnum : read == InvalidUint32;
                return invalid ? std::nullopt : std::optional(read);
            }
            at += field.Size;
        }
        return std::nullopt;
    };
    switch (definition.Global) {
    case FileIdMessage:
        if (const std::optional<std::uint32_t> created = value(TimeCreatedField, 4); created >= FirstDateTime) {
            Created = created;
        }
        break;
    case SportMessage:
        if (const std::optional<std::uint32_t> sport = value(SportOfSportField, 1)) {
            TrackSport = *sport;
        }
        break;
    case RecordMessage:
        if (time) {
            Records.First = Records.First.value_or(*time);
            Records.Last = std::max(Records.Last, *time);
        }
        Records.Centimeters = value(RecordDistanceField, 4).value_or(Records.Centimeters);
        break;
    case EventMessage: {
        const std::optional<std::uint32_t> type = value(EventTypeField, 1);
        if (!time || value(EventField, 1) != TimerEvent || !type) {
            break;
        }
        Records.TimerEvents = true;
        if (*type == StartEventType && !Records.TimerStart) {
            Records.TimerStart = time;
        } else if (std::find(StopEventTypes.begin(), StopEventTypes.end(), *type) != StopEventTypes.end() &&
                   Records.TimerStart) {
            Records.TimerSeconds += *time - std::min(*time, *Records.TimerStart);
            Records.TimerStart.reset();
        }
        break;
    }
    default:
        break;
    }
}

void FitReader::Rebuild() {
    if (!Records.First) {
        return;
    }
    const std::uint32_t elapsed = Records.Last - *Records.First;
    std::uint32_t moving = elapsed;
    if (Records.TimerEvents) {
        const std::uint32_t running =
            Records.TimerStart ? Records.Last - std::min(Records.Last, *Records.TimerStart) : 0;
        moving = std::min(elapsed, Records.TimerSeconds + running);
    }
    Activity activity;
    activity.Start = StartTime(*Records.First);
    activity.DistanceMeters = Records.Centimeters / CentimetersPerMeter;
    activity.MovingSeconds = moving;
    activity.ElapsedSeconds = elapsed;
    if (TrackSport) {
        activity.Sport = SportName(*TrackSport);
    }
    activity.Running = !TrackSport || *TrackSport == RunningSport;
    Add(std::move(activity));
}

bool FitReader::ReadCrc(const std::uint8_t *&data, std::size_t available) {
    if (available < CrcSize) {
        return false;
    }
    const auto stored = static_cast<std::uint16_t>(ReadUnsigned(data, CrcSize, false));
    if (stored != Crc) {
        FailAt("the file's CRC is " + Hex(stored) + " but its bytes give " + Hex(Crc));
        return false;
    }
    data += CrcSize;
    Offset += CrcSize;
    AnyFile = true;
    At = Stage::Header;
    return true;
}

void FitReader::FailAt(std::string reason) {
    FaultPlace = "byte " + std::to_string(Offset);
    if (Activities().empty() && !Records.First) {
        Fail(FaultPlace, std::move(reason));
        return;
    }
    Stopped = true;
    Fault = std::move(reason);
}

void FitReader::End() {
    const bool complete = At == Stage::Header && Pending.empty();
    if (complete && !AnyFile && !Stopped) {
        Fail({}, "the file is empty");
        return;
    }
    if (!complete && !Stopped) {
        CutOff = true;
        if (At == Stage::Header) {
            FailAt("the file ends inside a FIT header");
        } else if (At == Stage::Records) {
            const std::uint64_t missing = DataLeft - std::min<std::uint64_t>(DataLeft, Pending.size());
            FailAt("the file ends before its data does (" + std::to_string(missing) + " bytes missing)");
        } else {
            FailAt("the file ends before its CRC");
        }
        if (Failed()) {
            return;
        }
    }
    const bool rebuilt = Records.First.has_value();
    const std::uint32_t span = rebuilt ? Records.Last - *Records.First : 0;
    Rebuild();
    if (Activities().empty() && Stopped) {
        Fail(FaultPlace, Fault);
        return;
    }
    if (!Stopped && !rebuilt) {
        return;
    }
    std::string remark;
    if (rebuilt && CutOff) {
        remark = "cut off after " + Span(span);
    } else if (Stopped) {
        remark = Fault + " at " + FaultPlace;
    } else {
        remark = "its session is missing";
    }
    remark += rebuilt ? "; the run was rebuilt from its records" : "; what came before it was kept";
    for (Activity &activity : Activities()) {
        activity.Remark = remark;
    }
}

} // namespace pq
