// What polling a serial port the console's way costs by itself, with nothing done with the bytes:
// a Qt window on the screen and a 10-ms timer whose every tick makes one non-blocking read of up to
// 2048 bytes (the console's receive buffer) from the port and throws them away. No decoding, no
// log, no repaint after the window's first. bench/peers.sh runs it beside the console ("floor"),
// so the table shows how much of the console's figures the polling itself takes on the machine at
// hand: a saturated link can cost no less, nor a million lines read at one buffer a tick.
//
//   revodive-tickfloor DEVICE

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QBasicTimer>
#include <QTimerEvent>
#include <QWidget>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

class PollingWindow : public QWidget {
  public:
    explicit PollingWindow(int fd) : fd_(fd) { timer_.start(10, Qt::PreciseTimer, this); }

  protected:
    void timerEvent(QTimerEvent* event) override {
        if (event->timerId() != timer_.timerId()) return QWidget::timerEvent(event);
        // The bytes, and a unit gone (a read error), are left alone: the ticks go on as the
        // console's do until the port is closed, and peers.sh ends the program.
        [[maybe_unused]] const ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
    }

  private:
    int fd_;
    QBasicTimer timer_;
    std::array<char, 2048> buffer_{};
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: revodive-tickfloor DEVICE\n");
        return 2;
    }
    const int fd = ::open(argv[1], O_RDONLY | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        std::fprintf(stderr, "revodive-tickfloor: %s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    PollingWindow window(fd);
    window.resize(320, 200);
    window.show();
    const int status = app.exec();
    ::close(fd);
    return status;
}
