#include "runtime/printing/printer_status_dialog.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillora::runtime {
namespace {

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

PrinterStatusDialog::PrinterStatusDialog(const std::string& documentName, const std::string& destination,
                                         std::function<void()> abort)
    : QWidget(nullptr, Qt::Dialog)
{
    setWindowTitle(QStringLiteral("正在进行打印，请稍候 ......"));
    setObjectName(QStringLiteral("PrinterStatusDialog"));
    setAttribute(Qt::WA_ShowWithoutActivating);

    auto* rows = new QFormLayout;
    auto* name = new QLabel(fromUtf8(documentName));
    auto* target = new QLabel(fromUtf8(destination));
    target->setWordWrap(true);
    copies_ = new QLabel(QStringLiteral("1"));
    page_ = new QLabel(QStringLiteral("1"));
    rows->addRow(QStringLiteral("打印作业名："), name);
    rows->addRow(QStringLiteral("打印目的："), target);
    rows->addRow(QStringLiteral("已打印份数："), copies_);
    rows->addRow(QStringLiteral("当前页号："), page_);

    abortButton_ = new QPushButton(QStringLiteral("中止打印"));
    abortButton_->setObjectName(QStringLiteral("中止打印"));
    connect(abortButton_, &QPushButton::clicked, this, [abort = std::move(abort)] {
        if (abort)
            abort();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("正在进行打印，请稍候 ......")));
    layout->addLayout(rows);
    layout->addWidget(abortButton_, 0, Qt::AlignHCenter);
    setMinimumWidth(320);
}

void PrinterStatusDialog::showCopies(int copies)
{
    copies_->setText(QString::number(copies));
}

void PrinterStatusDialog::showPage(int page)
{
    page_->setText(QString::number(page));
}

}  // namespace quillora::runtime
