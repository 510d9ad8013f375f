// The small modeless window a printer shows while a job runs: "正在进行打印，请稍候 ......" with the
// document name, the destination, the copies and the current page, and a "中止打印" button that
// ends the job.
#pragma once

#include <functional>
#include <string>

#include <QWidget>

class QLabel;
class QPushButton;

namespace quillora::runtime {

class PrinterStatusDialog : public QWidget {
public:
    // `abort` runs when the button is pressed (from the event processing of a running job).
    PrinterStatusDialog(const std::string& documentName, const std::string& destination, std::function<void()> abort);

    void showCopies(int copies);
    void showPage(int page);

    QPushButton* abortButton() const { return abortButton_; }

private:
    QLabel* copies_ = nullptr;
    QLabel* page_ = nullptr;
    QPushButton* abortButton_ = nullptr;
};

}  // namespace quillora::runtime
