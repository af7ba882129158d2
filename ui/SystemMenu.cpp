#include "ui/SystemMenu.h"

#include "res/ResourceIds.h"
#include "res/StringTable.h"

#include <QString>
#include <QWidget>

#ifdef Q_OS_WIN
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <windows.h>

namespace {

// Hands WM_SYSCOMMAND of one window to its handler; a child of the window's lifetime.
class SysCommandFilter : public QObject, public QAbstractNativeEventFilter {
public:
    SysCommandFilter(QWidget& window, SystemMenu::Handler handler)
        : QObject(&window), window(window), handler(std::move(handler)) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~SysCommandFilter() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray&, void* message, qintptr* result) override {
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message != WM_SYSCOMMAND || msg->hwnd != reinterpret_cast<HWND>(window.winId())) {
            return false;
        }
        if (!handler(static_cast<uint32_t>(msg->wParam), static_cast<intptr_t>(msg->lParam))) {
            return false;
        }
        *result = 0;
        return true;
    }

private:
    QWidget& window;
    SystemMenu::Handler handler;
};

} // namespace
#endif

void SystemMenu::AppendAbout(QWidget& window, Handler onSysCommand) {
#ifdef Q_OS_WIN
    new SysCommandFilter(window, std::move(onSysCommand));
    HMENU systemMenu = GetSystemMenu(reinterpret_cast<HWND>(window.winId()), FALSE);
    const QString text = QString::fromUtf8(LoadResourceString(ResourceId::kAboutMenuString));
    if (systemMenu != nullptr && !text.isEmpty()) {
        AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(systemMenu, MF_STRING, ResourceId::kAboutSystemCommand, reinterpret_cast<LPCWSTR>(text.utf16()));
    }
#else
    Q_UNUSED(window);
    Q_UNUSED(onSysCommand);
#endif
}

void SystemMenu::AppendItem(QWidget& window, uint32_t commandId, const QString& text) {
#ifdef Q_OS_WIN
    HMENU systemMenu = GetSystemMenu(reinterpret_cast<HWND>(window.winId()), FALSE);
    if (systemMenu != nullptr && !text.isEmpty()) {
        AppendMenuW(systemMenu, MF_STRING, commandId, reinterpret_cast<LPCWSTR>(text.utf16()));
    }
#else
    Q_UNUSED(window);
    Q_UNUSED(commandId);
    Q_UNUSED(text);
#endif
}
