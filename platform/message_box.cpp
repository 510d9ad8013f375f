#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <vector>

namespace quillora::platform {

bool hasDisplay()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return false;
    const QString name = QGuiApplication::platformName();
    return name != QLatin1String("offscreen") && name != QLatin1String("minimal");
}

namespace {

std::function<int(const MessageBoxRequest&)>& interceptorSlot()
{
    static std::function<int(const MessageBoxRequest&)> interceptor;
    return interceptor;
}

QMessageBox::Icon iconOf(std::uint32_t style)
{
    switch (style & 0xF0) {
    case 16: return QMessageBox::Critical;
    case 32: return QMessageBox::Question;
    case 48: return QMessageBox::Warning;
    case 64: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// The buttons of each button set, with the answer each one gives.
std::vector<std::pair<QMessageBox::StandardButton, int>> buttonsOf(std::uint32_t style)
{
    switch (style & 0x0F) {
    case 1: return {{QMessageBox::Ok, 1}, {QMessageBox::Cancel, 2}};
    case 2: return {{QMessageBox::Abort, 3}, {QMessageBox::Retry, 4}, {QMessageBox::Ignore, 5}};
    case 3: return {{QMessageBox::Yes, 6}, {QMessageBox::No, 7}, {QMessageBox::Cancel, 2}};
    case 4: return {{QMessageBox::Yes, 6}, {QMessageBox::No, 7}};
    case 5: return {{QMessageBox::Retry, 4}, {QMessageBox::Cancel, 2}};
    default: return {{QMessageBox::Ok, 1}};
    }
}

}  // namespace

int defaultMessageBoxAnswer(std::uint32_t style)
{
    return buttonsOf(style).front().second;
}

void setMessageBoxInterceptor(std::function<int(const MessageBoxRequest&)> interceptor)
{
    interceptorSlot() = std::move(interceptor);
}

int askMessageBox(const MessageBoxRequest& request)
{
    if (interceptorSlot())
        return interceptorSlot()(request);
    if (!hasDisplay()) {
        std::fprintf(stderr, "%s\n%s\n", request.title.c_str(), request.text.c_str());
        return defaultMessageBoxAnswer(request.style);
    }
    QMessageBox box(iconOf(request.style), QString::fromStdString(request.title),
                    QString::fromStdString(request.text));
    const auto buttons = buttonsOf(request.style);
    for (const auto& [button, answer] : buttons)
        box.addButton(button);
    // Bits 8 and 9 name the default button: the first, second or third.
    const std::size_t defaultIndex = (request.style >> 8) & 3;
    if (defaultIndex < buttons.size())
        box.setDefaultButton(buttons[defaultIndex].first);
    box.setWindowModality((request.style & 4096) ? Qt::ApplicationModal : Qt::WindowModal);
    const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const auto& [button, answer] : buttons)
        if (button == pressed)
            return answer;
    // Closing the box with Esc or its close button counts as Cancel when there is one, else as
    // No: a question is never answered yes by closing it.
    for (const auto& [button, answer] : buttons)
        if (answer == 2)
            return 2;
    for (const auto& [button, answer] : buttons)
        if (answer == 7)
            return 7;
    return buttons.front().second;
}

void showErrorMessage(const std::string& title, const std::string& text)
{
    std::fprintf(stderr, "%s\n%s\n", title.c_str(), text.c_str());
    std::fflush(stderr);
    if (interceptorSlot()) {
        interceptorSlot()({text, title, 16});
        return;
    }
    if (!hasDisplay())
        return;
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Ok);
    box.exec();
}

}  // namespace quillora::platform
