#include "RecordedStream.h"

namespace rvbench {

std::vector<std::string> StatusCycle(int t) {
    const auto n = [](int v) { return std::to_string(v); };
    std::vector<std::string> lines = {
        ">GK=55." + n(751200 + t) + ";37." + n(618400 + t),
        ">GS=" + n(5 + t % 7) + ";" + n(t % 90) + ";152;" + n(9 + t % 25) + ";" + n(t * 7 % 360),
        ">GP=" + n(1000 + t) + ";" + n(998 + t),
        ">PB=" + n(12600 - t % 400) + ";" + n(4100 - t % 300),
        ">TW=" + n(1765180800 + t) + ";" + n(7200 + t),
        ">DF=0;0",
        ">DS=462839",
        ">RW=" + n(3000 + t) + ";" + n(3300 + 2 * t),
        ">MS=7",
        ">ML=" + n(14 + t % 12),
        ">MT=" + n(20480 + 300 * t) + ";" + n(1536 + 20 * t) + ";" + n(250 + t % 100),
        ">MB=" + n(t % 4) + ";" + n(96 * (t % 4)),
        ">MW=" + n(t % 30) + ";",
        ">SA=OK",
        ">SS=DATA;" + n(128 + t % 64),
        ">ID0=" + n(t % 2),
        ">ID1=1",
        ">IF2=" + n(1500 + t % 50),
        ">IA3=" + n(2400 + t % 80),
        ">OD0=" + n(t % 2),
        ">LLS=1;5;" + n(2000 + t % 100) + ";" + n(30000 + t % 500) + ";24",
        ">LLS=1;85;" + n(1800 + t % 90) + ";" + n(29000 + t % 400) + ";23",
        ">OWT=28FF4A1B;" + n(20 + t % 5) + ".5",
        ">CA=" + n(1234500 + t),
        ">CC=" + n(98765400 + 3 * t),
        ">CG=" + n(650 - t % 100),
        ">CH=" + n(800 + t % 1200),
        ">CJ=" + n(t % 90),
        ">CQ=" + n(25 + t % 10),
        "+CSQ: 18,99",
    };
    return lines;
}

std::string RecordedStream(int cycles, std::size_t& lineCount) {
    std::string stream;
    lineCount = 0;
    for (int t = 0; t < cycles; ++t) {
        for (const std::string& line : StatusCycle(t)) {
            stream += line;
            stream += "\r\n";
            ++lineCount;
        }
    }
    return stream;
}

std::vector<std::string_view> StreamLines(const std::string& stream) {
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at < stream.size();) {
        std::size_t end = stream.find('\n', at);
        if (end == std::string::npos) end = stream.size() - 1;
        lines.push_back(std::string_view(stream).substr(at, end + 1 - at));
        at = end + 1;
    }
    return lines;
}

}  // namespace rvbench
