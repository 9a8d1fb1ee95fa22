#include "formats.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace loadcell {
namespace {

std::string Fixed(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

std::string Signed(long long value) {
    return (value > 0 ? "+" : "") + std::to_string(value);
}

// The summary's figures as texts; empty when there is no good reading.
struct Figures {
    std::string minimum, maximum, mean, deviation, drift;
};

Figures FiguresOf(const CellStatistics& s) {
    if (s.Readings() == 0) return {};
    return {std::to_string(s.Minimum()), std::to_string(s.Maximum()), Fixed(s.Mean()),
            Fixed(s.StandardDeviation()), Signed(s.Drift())};
}

std::string OrDash(const std::string& text) {
    return text.empty() ? "-" : text;
}

std::string OrNull(const std::string& text) {
    return text.empty() ? "null" : text;
}

} // namespace

std::string IsoTime(std::chrono::system_clock::time_point when) {
    using namespace std::chrono;
    const auto sinceEpoch = when.time_since_epoch();
    const std::time_t seconds = duration_cast<std::chrono::seconds>(sinceEpoch).count();
    const long long millis = duration_cast<milliseconds>(sinceEpoch).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char date[32], zone[8];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    std::strftime(zone, sizeof zone, "%z", &local); // +0100
    char text[64];
    std::snprintf(text, sizeof text, "%s.%03lld%.3s:%.2s", date, millis < 0 ? 0 : millis, zone,
                  zone + 3);
    return text;
}

std::string ReadingHeader(Format format, const std::string& column) {
    return format == Format::Csv ? "time,address," + column + ",status" : "";
}

std::string ReadingLine(Format format, const std::string& time, int address, Reading reading,
                        int32_t code) {
    return ReadingLine(format, time, address, reading,
                       reading == Reading::Good ? std::to_string(code) : "", "code");
}

std::string ReadingLine(Format format, const std::string& time, int address, Reading reading,
                        const std::string& value, const std::string& column) {
    const bool good = reading == Reading::Good;
    const std::string codeText = good ? value : "";
    const std::string status = ReadingText(reading);
    switch (format) {
    case Format::Text:
        return time + " " + std::to_string(address) + " " +
               (good ? codeText + (column == "code" ? "" : " " + column)
                     : "failed (" + status + ")");
    case Format::Csv:
        return time + "," + std::to_string(address) + "," + codeText + "," + status;
    case Format::Jsonl:
        break;
    }
    return "{\"time\":\"" + time + "\",\"address\":" + std::to_string(address) + ",\"" + column +
           "\":" + OrNull(codeText) + ",\"status\":\"" + status + "\"}";
}

namespace {

std::string JsonText(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace

std::string EventLine(Format format, const std::string& time, const std::string& event) {
    switch (format) {
    case Format::Text:
        return time + " " + event;
    case Format::Csv: {
        std::string field = event;
        std::replace(field.begin(), field.end(), ',', ';');
        return time + ",,," + field;
    }
    case Format::Jsonl:
        break;
    }
    return "{\"time\":\"" + time +
           "\",\"address\":null,\"code\":null,\"status\":" + JsonText(event) + "}";
}

std::string SummaryHeader(Format format) {
    return format == Format::Csv ? "address,readings,failed,min,max,mean,sd,drift" : "";
}

std::string SummaryLine(Format format, int address, const CellStatistics& s) {
    const Figures f = FiguresOf(s);
    const std::string readings = std::to_string(s.Readings());
    const std::string failed = std::to_string(s.Failed());
    switch (format) {
    case Format::Text:
        return "address " + std::to_string(address) + ": readings " + readings + ", failed " +
               failed + ", min " + OrDash(f.minimum) + ", max " + OrDash(f.maximum) + ", mean " +
               OrDash(f.mean) + ", sd " + OrDash(f.deviation) + ", drift " + OrDash(f.drift);
    case Format::Csv:
    case Format::Jsonl:
        break;
    }
    // Machine formats carry the drift without a plus sign.
    const std::string drift = s.Readings() ? std::to_string(s.Drift()) : "";
    if (format == Format::Csv)
        return std::to_string(address) + "," + readings + "," + failed + "," + f.minimum + "," +
               f.maximum + "," + f.mean + "," + f.deviation + "," + drift;
    return "{\"address\":" + std::to_string(address) + ",\"readings\":" + readings +
           ",\"failed\":" + failed + ",\"min\":" + OrNull(f.minimum) +
           ",\"max\":" + OrNull(f.maximum) + ",\"mean\":" + OrNull(f.mean) +
           ",\"sd\":" + OrNull(f.deviation) + ",\"drift\":" + OrNull(drift) + "}";
}

std::string HexText(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char byte : bytes) {
        if (!text.empty()) text += ' ';
        text += digits[byte >> 4];
        text += digits[byte & 0x0F];
    }
    return text;
}

} // namespace loadcell
