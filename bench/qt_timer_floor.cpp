// The least a Qt widget program with a 10 ms timer costs on this machine: one
// window, a level bar and a label, and a timer that only counts. The CPU
// benchmark measures it beside the program to show what the meter's interval
// alone costs.
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QProgressBar);
    layout->addWidget(new QLabel(QStringLiteral("0")));
    window.show();
    QTimer timer;
    timer.setInterval(10);
    long ticks = 0;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start();
    return QApplication::exec();
}
