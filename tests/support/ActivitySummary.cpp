#include "ActivitySummary.h"

#include <cstdio>

#include "ActivityTemplates.h"

std::string Summarize(const pq::FileActivities &result) {
    if (result.Error) {
        pq::ReadError error = *result.Error;
        error.File = "error";
        return error.Text();
    }
    std::string text;
    for (const pq::Activity &activity : result.Activities) {
        if (!text.empty()) {
            text += " | ";
        }
        char numbers[64];
        std::snprintf(numbers, sizeof numbers, " %.2f m %.3f s", activity.DistanceMeters, activity.MovingSeconds);
        text += (activity.Start ? ActivityTemplates::IsoTime(*activity.Start) : std::string("no-start")) + " " +
                (activity.Sport.empty() ? std::string("-") : activity.Sport) + (activity.Running ? " run" : " other") +
                numbers + (activity.Name.empty() ? std::string() : " '" + activity.Name + "'") +
                (activity.Remark.empty() ? std::string() : " (" + activity.Remark + ")");
    }
    return text;
}

std::string ReadAndSummarize(std::string_view bytes) {
    std::string whole = Summarize(pq::ReadActivityBytes(bytes, "f"));
    const pq::FileFormat format = pq::DetectFormat(bytes);
    for (const std::size_t block : {std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
        const auto reader = pq::MakeActivityReader(format);
        if (!reader) {
            break;
        }
        for (std::size_t at = 0; at < bytes.size(); at += block) {
            reader->Feed(bytes.substr(at, block));
        }
        reader->Finish();
        pq::FileActivities result;
        if (reader->Failed()) {
            result.Error = reader->Error();
        } else {
            result.Activities = reader->Activities();
        }
        if (Summarize(result) != whole) {
            return "blocks of " + std::to_string(block) + " give: " + Summarize(result) + "; whole: " + whole;
        }
    }
    return whole;
}
