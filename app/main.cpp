#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

#include "GbkText.h"
#include "MessageBox.h"
#include "NetMainDialog.h"

namespace {

bool HasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (!HasDisplay()) {
        std::fprintf(stderr,
                     "kelvara: 没有可用的显示 (no display found; set DISPLAY or run under "
                     "xvfb-run)\n");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(kelvara::MessageBox::ProgramTitle());
    QApplication::setApplicationDisplayName(kelvara::MessageBox::ProgramTitle());

    if (!kelvara::GbkText::Available()) {
        std::fprintf(stderr, "kelvara: GBK text conversion is not available in this Qt build\n");
        kelvara::MessageBox::Show(nullptr, QStringLiteral("ERROR"),
                                  QStringLiteral("GBK text conversion is not available."),
                                  QMessageBox::Critical);
        return 1;
    }

    kelvara::NetMainDialog window;
    if (!window.Initialise()) return 1;
    window.exec();
    return 0;
}
