#include "trends/TrendFields.h"

#include <cctype>
#include <cstdint>
#include <unordered_map>

#include "layout/SectionPlan.h"
#include "protocol/DisplayModel.h"
#include "text/Cp1251.h"

namespace rv {
namespace {

using R = NumberReading;

// The fields with a trend and their reading; their order and names come from the layout.
const std::unordered_map<std::string_view, NumberReading>& Readings() {
    static const std::unordered_map<std::string_view, NumberReading> readings = {
        {"LL_TW1", R::Duration},    {"LL_GK0", R::Leading},     {"LL_GK1", R::Leading},
        {"LL_GS1", R::Leading},     {"LL_GS2", R::Leading},     {"LL_GS0", R::Leading},
        {"LL_GS4", R::Leading},     {"LL_GS3", R::Leading},     {"LL_RMC", R::Leading},
        {"LL_GCA", R::Leading},     {"LL_ML", R::Leading},      {"LL_MD2", R::Leading},
        {"LL_MT3", R::Leading},     {"LL_MB", R::Leading},      {"LL_MW1", R::Leading},
        {"LL_MT1", R::ByteSize},    {"LL_MT2", R::ByteSize},    {"LL_SMSIN", R::Leading},
        {"LL_SMSOUT", R::Leading},  {"LL_RW1", R::Leading},     {"LL_RW0", R::Leading},
        {"LL_RWRES", R::Leading},   {"LL_I0", R::Leading},      {"LL_I1", R::Leading},
        {"LL_I2", R::Leading},      {"LL_I3", R::Leading},      {"LL_I4", R::Leading},
        {"LL_I5", R::Leading},      {"LL_PB0", R::Leading},     {"LL_PB1", R::Leading},
        {"LL_CV1", R::Leading},     {"LL_CA", R::Leading},      {"LL_CC", R::Leading},
        {"LL_CE", R::Leading},      {"LL_CG", R::Leading},      {"LL_CR", R::Leading},
        {"LL_CH", R::Leading},      {"LL_CI", R::Leading},      {"LL_CJ", R::Leading},
        {"LL_CP", R::Leading},      {"LL_CS", R::Leading},      {"LL_CK", R::Leading},
        {"LL_CL", R::Leading},      {"LL_CM", R::Leading},      {"LL_CN", R::Leading},
        {"LL_CO", R::Leading},      {"LL_CT", R::Leading},      {"LL_CU", R::Leading},
        {"LL_ICT0", R::Leading},    {"LL_ICT1", R::Leading},    {"LL_ICT2", R::Leading},
        {"LL_GAS1480", R::Leading}, {"LL_GAS10", R::Leading},   {"LL_GAS20", R::Leading},
        {"LL_GAS70", R::Leading},   {"LL_GAS1520", R::Leading}, {"LL_GAS340", R::Leading},
        {"LL_GAS960", R::Leading},  {"LL_GAS1460", R::Leading}, {"LL_OW0", R::Leading},
        {"LL_OW1", R::Leading},     {"LL_OW2", R::Leading},     {"LL_OW3", R::Leading},
        {"LL_OW4", R::Leading},     {"LL_OW5", R::Leading},     {"LL_ML0", R::Leading},
        {"LL_ML1", R::Leading},     {"LL_ML2", R::Leading},
    };
    return readings;
}

std::vector<TrendField> BuildTrendFields() {
    const auto& readings = Readings();
    std::vector<TrendField> fields;
    const auto add = [&](const char* name) {
        if (name == nullptr) return;
        auto it = readings.find(name);
        if (it != readings.end()) fields.push_back({name, it->second});
    };
    for (const SectionPlan& section : MonitorSections()) {
        for (const RowPlan& row : section.rows) add(row.field);
        if (section.body != SectionBody::SensorArea) continue;
        for (const SensorRowPlan& row : SensorRows()) {
            if (row.kind == SensorRowKind::FuelLevel) {
                // Level, frequency and temperature ("+23") of every fuel-level sensor.
                for (const char* name : {row.field, row.field2, row.field3})
                    fields.push_back({name, R::Leading});
                continue;
            }
            add(row.field);
        }
    }
    return fields;
}

bool IsDigit(char c) {
    return IsDecimalDigit(c);
}

std::optional<double> ByteSize(std::string_view text, char separator) {
    std::size_t at = 0;
    const auto n = ReadLeadingNumber(text, at, separator);
    if (!n) return std::nullopt;
    const std::string_view unit = text.substr(at);
    if (unit == " KB") return *n * 1024;
    if (unit == " MB") return *n * 1048576;
    return n;
}

// "H:MM:SS" in hours.
std::optional<double> Duration(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || text.size() != colon + 6 ||
        text[colon + 3] != ':')
        return std::nullopt;
    double hours = 0;
    for (std::size_t i = 0; i < colon; ++i) {
        if (!IsDigit(text[i])) return std::nullopt;
        hours = hours * 10 + (text[i] - '0');
    }
    const auto two = [&](std::size_t at) -> int {
        if (!IsDigit(text[at]) || !IsDigit(text[at + 1])) return -1;
        return (text[at] - '0') * 10 + (text[at + 1] - '0');
    };
    const int minutes = two(colon + 1), seconds = two(colon + 4);
    if (minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59) return std::nullopt;
    return hours + minutes / 60.0 + seconds / 3600.0;
}

std::string WithoutColon(std::string text) {
    while (!text.empty() && (text.back() == ':' || text.back() == ' ')) text.pop_back();
    return text;
}

}  // namespace

const std::vector<TrendField>& TrendFields() {
    static const std::vector<TrendField> fields = BuildTrendFields();
    return fields;
}

std::optional<double> ReadFieldNumber(std::string_view text, NumberReading reading,
                                      char decimalSeparator) {
    switch (reading) {
        case NumberReading::Leading: {
            std::size_t at = 0;
            return ReadLeadingNumber(text, at, decimalSeparator);
        }
        case NumberReading::ByteSize:
            return ByteSize(text, decimalSeparator);
        case NumberReading::Duration:
            return Duration(text);
    }
    return std::nullopt;
}

TrendFieldLabel LabelOfTrendField(const DisplayModel& display, int field) {
    const std::string& name = display.Name(field);
    const auto shown = [&](const char* captionName) {
        return WithoutColon(Cp1251ToUtf8(display.Text(display.Field(captionName))));
    };
    for (const SectionPlan& section : MonitorSections()) {
        for (const RowPlan& row : section.rows) {
            if (row.field == nullptr || name != row.field) continue;
            std::string caption = WithoutColon(row.caption);
            if (row.kind == RowKind::Input) {
                caption = shown(row.captionName);
                // A row no reply has named yet shows its line number only.
                if (caption.size() == 1) caption = "Вход/выход " + caption;
            }
            return {section.title, caption};
        }
    }
    const char* group = "";
    int rowInGroup = 0;
    for (const SensorRowPlan& row : SensorRows()) {
        if (row.kind == SensorRowKind::GroupHeader) {
            group = row.caption;
            rowInGroup = 0;
            continue;
        }
        if (row.kind == SensorRowKind::ColumnTitles) continue;
        ++rowInGroup;
        const bool level = row.field != nullptr && name == row.field;
        const bool frequency = row.field2 != nullptr && name == row.field2;
        const bool temperature = row.field3 != nullptr && name == row.field3;
        if (!level && !frequency && !temperature) continue;
        const std::string groupTitle = group;
        if (row.caption != nullptr) return {groupTitle, WithoutColon(row.caption)};
        std::string address = shown(row.captionName);
        std::string who = address.empty() ? "строка " + std::to_string(rowInGroup) : address;
        if (row.kind == SensorRowKind::FuelLevel) {
            const char* column = level ? "уровень" : frequency ? "частота" : "температура";
            return {groupTitle, "LLS " + who + ": " + column};
        }
        return {groupTitle, "Датчик " + who};
    }
    return {std::string(), name};
}

}  // namespace rv
