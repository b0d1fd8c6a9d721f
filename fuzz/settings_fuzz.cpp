// The technician's side of the console: text typed into the eight settings boxes, replies from the
// unit that fill them, the section's buttons, and calibration rows typed, recorded, deleted and
// exported. Nothing may crash or trip a sanitizer, and what leaves the console must be exactly
// what the rules allow:
// - every command line is "\r>" ... "\n" with no other line break inside, and nothing is sent
//   while the port is closed;
// - a PIN goes out only as "\r>S 6;" or "\r>S 14;" and four digits, exactly the box's text;
// - access points go out only as three fields of 3 to 30 characters without ";", ">" or control
//   characters, exactly the boxes' texts;
// - an exported table is the header, rules and cells 39 characters wide with its visible rows
//   numbered 1, 2, ... in order, and ends with the comment and CR LF.
//
// One form serves the whole run and is reset after every input the way a technician would leave
// it for the next unit ("Стоп", "Очистить", the settings boxes back to their start texts); after
// the reset it must show exactly what a reference form shows after the same reset, so an input
// never depends on the one before and a finding reproduces from that one input.
//
// Input layout: a sequence of steps, each an operation byte, a length byte and that many bytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzChecks.h"
#include "app/MainForm.h"
#include "calibration/TableExport.h"
#include "text/Cp1251.h"

namespace {

using fuzz::Check;
using fuzz::Fail;

// The unit's end of the line: keeps every command line the console writes.
class CapturingDevice : public rv::SerialDevice {
  public:
    bool Open(const std::string&) override { return open_ = true; }
    bool Apply(const rv::SerialLineSettings&) override { return open_; }
    std::int32_t Read(std::uint8_t*, std::int32_t) override { return open_ ? 0 : -1; }
    std::int32_t Write(const std::uint8_t* data, std::int32_t size) override {
        if (!open_) Fail("a write to a closed port");
        written.append(reinterpret_cast<const char*>(data), static_cast<std::size_t>(size));
        return size;
    }
    void Close() override { open_ = false; }

    std::string written;

  private:
    bool open_ = false;
};

class NoTicks : public rv::TickSource {
  public:
    void Start(int, std::function<void()>) override {}
    void Stop() override {}
};

// The save dialog answers with a fixed path; the file is kept in memory.
class CapturingTarget : public rv::TarExportTarget {
  public:
    std::optional<std::string> AskSavePath(const std::string&, const std::string&) override {
        return std::string("/fuzz/table.txt");
    }
    std::optional<std::string> WriteFile(const std::string&, const std::string& bytes) override {
        file = bytes;
        return std::nullopt;
    }
    std::string file;
};

constexpr const char* kSettingsFields[] = {"LL_SP",   "LL_SP2",  "LL_SS01", "LL_SS11",
                                           "LL_SS21", "LL_SS02", "LL_SS12", "LL_SS22"};

bool HasControl(std::string_view s) {
    for (unsigned char c : s)
        if (c < 32) return true;
    return false;
}

// One command line the editor sent, against the boxes it was built from.
FUZZ_CHECKING_CODE void CheckSentLine(std::string_view line, rv::SettingsEditor& settings) {
    Check(line.size() >= 4 && line.substr(0, 2) == "\r>" && line.back() == '\n', "line framing",
          line);
    const std::string_view body = line.substr(2, line.size() - 3);
    Check(!HasControl(body), "no control character inside a line", line);
    for (int sim = 0; sim < 2; ++sim) {
        const std::string_view pinPrefix = sim == 0 ? "S 6;" : "S 14;";
        if (body.substr(0, pinPrefix.size()) == pinPrefix) {
            const std::string_view pin = body.substr(pinPrefix.size());
            Check(pin.size() == 4 && pin.find_first_not_of("0123456789") == std::string_view::npos,
                  "a PIN goes out as four digits", line);
            Check(line == settings.PinLine(sim), "the PIN line is the box's text", line);
        }
        const std::string_view apPrefix = sim == 0 ? "S ISS1 " : "S ISS2 ";
        if (body.substr(0, apPrefix.size()) == apPrefix) {
            std::string_view rest = body.substr(apPrefix.size());
            Check(rest.find('>') == std::string_view::npos, "no '>' in an access point", line);
            for (int part = 0; part < 3; ++part) {
                const std::size_t end = part < 2 ? rest.find(';') : rest.size();
                Check(end != std::string_view::npos, "three access-point fields", line);
                Check(end >= 3 && end <= 30, "an access-point field has 3 to 30 characters", line);
                rest = part < 2 ? rest.substr(end + 1) : std::string_view();
            }
            Check(body.substr(apPrefix.size()) == "auto;auto;auto" ||
                      line == settings.AccessPointLine(sim),
                  "the access-point line is the boxes' text", line);
        }
    }
}

// The exported file, line by line.
FUZZ_CHECKING_CODE void CheckTable(const std::string& file, const rv::DisplayModel& display,
                                   std::size_t rows, const std::string& comment) {
    const std::string head = rv::W("ID устройства: ") + display.Text(display.Field("LL_DN"));
    Check(file.compare(0, head.size() + 2, head + "\r\n") == 0, "the unit ID heads the table");
    const std::string tail = rv::W("Комментарии: ") + comment + "\r\n";
    Check(file.size() >= tail.size() &&
              file.compare(file.size() - tail.size(), tail.size(), tail) == 0,
          "the comment ends the table");
    std::vector<std::string_view> lines;
    std::string_view rest(file);
    rest.remove_prefix(head.size() + 2);
    for (int k = 0; k < 9 + static_cast<int>(rows); ++k) {
        const std::size_t end = rest.find("\r\n");
        Check(end != std::string_view::npos, "every line ends with CR LF");
        lines.push_back(rest.substr(0, end));
        rest.remove_prefix(end + 2);
    }
    // lines: date, "", rule, sensor, rule, titles, rule, rows..., rule, "".
    const std::string rule(39, '-');
    Check(lines[1].empty() && lines[2] == rule && lines[4] == rule && lines[6] == rule &&
              lines[7 + rows] == rule && lines[8 + rows].empty(),
          "rules and blank lines in place");
    Check(lines[3].size() == 39 && lines[3].back() == '|', "the sensor line is 39 wide");
    for (std::size_t r = 0; r <= rows; ++r) {
        const std::string_view row = lines[5 + (r == 0 ? 0 : r + 1)];
        Check(
            row.size() == 39 && row[5] == '|' && row[16] == '|' && row[27] == '|' && row[38] == '|',
            "cells 6, 11, 11 and 11 wide", row);
        if (r == 0) continue;
        std::string_view number = row.substr(0, 5);
        while (!number.empty() && number.front() == ' ') number.remove_prefix(1);
        while (!number.empty() && number.back() == ' ') number.remove_suffix(1);
        Check(number == std::to_string(r), "visible rows numbered 1, 2, ...", row);
    }
    Check(rest == tail, "nothing between the table and the comment");
}

// A form with the unit's end of the line captured, no timers, and a platform that touches no file
// (a fixed port list, a fixed identity of the unit behind the port, a steady clock that stands).
class FuzzForm {
  public:
    FuzzForm() {
        form.FormCreate();
        for (std::size_t k = 0; k < boxes.size(); ++k) {
            boxes[k] = form.Display().Field(kSettingsFields[k]);
            startTexts[k] = form.Display().Text(boxes[k]);
        }
        startPort_ = form.Q().Port();
        Reset();
    }

    // What the technician does before the next unit: "Стоп" (the port number the form starts
    // with is chosen again, so a start clears as the first start of a session does), "Очистить"
    // and the counter, the settings boxes back to their start texts (the clear leaves a typed
    // PIN alone), and the reports of the strip taken back. A box is set again when its text,
    // colour or hint is not what the start text validates to (the first reset sets them all), so
    // its validation starts over too; a box that shows all of that is as the reset leaves it.
    void Reset() {
        form.Connection().StopActionExecute();
        form.Q().SetPort(startPort_);
        form.StatClearExecute();
        form.SetReceivedBytes(0);
        rv::DisplayModel& display = form.Display();
        for (std::size_t k = 0; k < boxes.size(); ++k) {
            const int box = boxes[k];
            if (validated_ && display.Text(box) == startTexts[k] &&
                display.ColourOf(box) == validColours_[k] &&
                form.Settings().Hint(box) == validHints_[k])
                continue;
            display.SetV(box, startTexts[k], rv::kBlack);
            validColours_[k] = display.ColourOf(box);
            validHints_[k] = form.Settings().Hint(box);
        }
        validated_ = true;
        while (const rv::Report* report = form.Reports().Current()) {
            const std::string topic = report->topic;
            form.Reports().Withdraw(topic);
        }
        unit->written.clear();
    }

    rv::RegionalFormats formats;
    rv::FixedClock clock{rv::LocalDateTime{2026, 12, 8, 9, 5, 7, 4}};
    NoTicks ticks;
    CapturingDevice* unit = nullptr;
    rv::MainForm form{formats, clock, Platform()};
    std::array<int, std::size(kSettingsFields)> boxes{};
    std::array<std::string, std::size(kSettingsFields)> startTexts{};

  private:
    rv::FormPlatform Platform() {
        rv::FormPlatform platform;
        auto device = std::make_unique<CapturingDevice>();
        unit = device.get();
        platform.device = std::move(device);
        platform.ticks = &ticks;
        platform.elapsedMs = [] { return std::int64_t{0}; };
        platform.identityOfPort = [](int) { return std::string("fuzz unit"); };
        platform.findDevice = [](const std::string&) { return rv::PortPresence{}; };
        platform.resolvePath = [](int) { return std::string("fuzz"); };
        platform.readPortList = [] { return std::string("COM1\0\0", 6); };
        platform.portsFolderProblem = [] { return std::string(); };
        return platform;
    }

    int startPort_ = 0;
    bool validated_ = false;
    std::array<rv::Colour, std::size(kSettingsFields)> validColours_{};
    std::array<std::string, std::size(kSettingsFields)> validHints_{};
};

// After its reset the reused form must be the reference form after the same reset: besides the
// received state, the enabling and Tag of every action, the boxes' hints, the link and its
// controls, the driver's port, an empty report strip.
FUZZ_CHECKING_CODE void CheckFormLike(FuzzForm& reused, FuzzForm& reference) {
    rv::MainForm& a = reused.form;
    rv::MainForm& b = reference.form;
    fuzz::CheckConsoleLike(a, b);
    for (int i = 0; i < a.Actions().Count(); ++i) {
        Check(a.Actions().Tag(i) == b.Actions().Tag(i) &&
                  a.Actions().Enabled(i) == b.Actions().Enabled(i),
              "the reset restores every action's Tag and enabling", a.Actions().Info(i).name);
    }
    for (const int box : reused.boxes) {
        Check(a.Settings().Hint(box) == b.Settings().Hint(box), "the reset restores the hints",
              a.Display().Name(box));
    }
    const rv::ConnectionControl& c = a.Connection();
    const rv::ConnectionControl& d = b.Connection();
    Check(!c.IsOpen() && c.Ports() == d.Ports() && c.CheckedPortItem() == d.CheckedPortItem() &&
              c.HighlightedPort() == d.HighlightedPort() &&
              c.CheckedSpeedItem() == d.CheckedSpeedItem() &&
              c.HeaderButtonsEnabled() == d.HeaderButtonsEnabled() &&
              c.LinkReason() == d.LinkReason() && c.WatchingForReturn() == d.WatchingForReturn(),
          "the reset stops the link");
    for (int i = 0; i < rv::kSpeedItems; ++i)
        Check(c.SpeedItemEnabled(i) == d.SpeedItemEnabled(i), "the reset enables the speed items");
    Check(a.Q().Port() == b.Q().Port() && a.Q().PendingCount() == 0,
          "the reset chooses the start port");
    Check(a.Reports().Current() == nullptr, "the reset empties the report strip");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzForm& reused = *new FuzzForm;
    static FuzzForm& reference = *new FuzzForm;
    rv::MainForm& form = reused.form;
    CapturingDevice* unit = reused.unit;
    rv::SettingsEditor& settings = form.Settings();
    rv::Recorder& recorder = form.Calibration();
    const std::vector<rv::SettingsButton>& buttons = rv::SettingsButtons();

    std::size_t at = 0;
    while (at + 2 <= size) {
        const std::uint8_t op = data[at];
        const std::size_t length = std::min<std::size_t>(data[at + 1], size - at - 2);
        const std::string_view bytes(reinterpret_cast<const char*>(data) + at + 2, length);
        at += 2 + length;
        const std::uint8_t pick = bytes.empty() ? 0 : static_cast<std::uint8_t>(bytes[0]);
        const std::string_view text = bytes.empty() ? bytes : bytes.substr(1);
        const int channel = 1 + (op >> 3 & 3);
        switch (op & 7) {
            case 0:  // typing into a settings box (UTF-8, possibly broken)
                settings.TypeText(reused.boxes[pick % reused.boxes.size()], text);
                break;
            case 1: {  // a reply line of the unit (the driver cuts the stream at LF)
                const std::string line = std::string(bytes.substr(0, bytes.find('\n'))) + "\r\n";
                form.ReceiveLine(line);
                break;
            }
            case 2: {  // a settings button
                unit->written.clear();
                const bool open = form.Q().IsOpen();
                // A disabled button cannot be clicked: the window greys it out.
                const rv::SettingsButton& button = buttons[pick % buttons.size()];
                if (form.Actions().Enabled(button.action)) settings.ButtonClick(button.name);
                Check(open || unit->written.empty(), "nothing sent while the port is closed");
                std::string_view sent(unit->written);
                while (!sent.empty()) {
                    const std::size_t end = sent.find('\n');
                    Check(end != std::string_view::npos, "a line ends with LF", sent);
                    CheckSentLine(sent.substr(0, end + 1), settings);
                    sent.remove_prefix(end + 1);
                }
                break;
            }
            case 3:  // the link
                if (pick & 1)
                    form.Connection().StartExecute(1);
                else
                    form.Connection().StopActionExecute();
                break;
            case 4: {  // choosing what a calibration channel records
                recorder.cmbDatNDropDown(channel);
                const auto& items = recorder.State(channel).items;
                if (!items.empty()) recorder.cmbDatNChange(channel, pick % items.size());
                break;
            }
            case 5:  // a level typed (digits or not) and "Сохранить"
                recorder.pdN4Change(channel, text);
                if (pick & 1) recorder.cmdSNClick(channel);
                break;
            case 6:  // a row deleted, the comment edited
                if (!recorder.State(channel).rows.empty())
                    recorder.ClickDel(channel, pick % recorder.State(channel).rows.size());
                recorder.SetComment(channel, text);
                break;
            case 7: {  // the export
                const std::size_t rows = recorder.State(channel).visibleRows;
                const std::string comment = recorder.State(channel).comment;
                CapturingTarget target;
                const rv::SaveTxtResult result = recorder.SaveTarFile(channel, target, "/fuzz/");
                Check(result.status == rv::TarExportStatus::Written, "the export is written");
                CheckTable(target.file, form.Display(), rows, comment);
                break;
            }
        }
    }
    reused.Reset();
    CheckFormLike(reused, reference);
    return 0;
}
