#include "runtime/units/tab_unit.h"

#include "quillora/control_unit_commands.h"
#include "runtime/core/command_arguments.h"
#include "runtime/units/control_support.h"

#include <QChildEvent>
#include <QRegion>
#include <QTabWidget>

#include <algorithm>

namespace quillora::runtime {
namespace {

// The layer of one page: as large as the tab control, drawing nothing itself. Its mask is the
// union of its visible units, so a press anywhere else falls through to the tab control below.
class PageOverlay : public QWidget {
public:
    explicit PageOverlay(QWidget* tabControl) : QWidget(tabControl)
    {
        tabControl->installEventFilter(this);
        setGeometry(tabControl->rect());
        updateMask();
    }

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildRemoved) {
            auto* child = static_cast<QChildEvent*>(event)->child();
            if (event->type() == QEvent::ChildAdded && child->isWidgetType())
                child->installEventFilter(this);
            updateMask();
        }
        return QWidget::event(event);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parent()) {
            if (event->type() == QEvent::Resize)
                setGeometry(parentWidget()->rect());
            return false;
        }
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            updateMask();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void updateMask()
    {
        QRegion units;
        for (QObject* child : children())
            if (auto* widget = qobject_cast<QWidget*>(child); widget && !widget->isWindow() && !widget->isHidden())
                units += widget->geometry();
        // An empty mask would mean no mask at all, that is the whole overlay; with no unit to
        // show, the overlay lets every press through instead.
        setAttribute(Qt::WA_TransparentForMouseEvents, units.isEmpty());
        if (units.isEmpty())
            clearMask();
        else
            setMask(units);
    }
};

// How many pages the form asks for: one per item, and at least as many as its units use (a tab
// lists its children page by page, the pages separated by 0).
int pagesNeeded(const UnitTemplate& tab)
{
    int pages = static_cast<int>(tab.properties.items.size());
    if (!tab.children.empty())
        pages = std::max(pages, static_cast<int>(std::count(tab.children.begin(), tab.children.end(), 0u)) + 1);
    return pages;
}

}  // namespace

QWidget* TabUnit::createWidget(QWidget* parent)
{
    tabs_ = new QTabWidget(parent);
    applyTemplateFont(*tabs_, template_.properties);
    const int pages = pagesNeeded(template_);
    for (int page = 0; page < pages; ++page) {
        const std::size_t at = static_cast<std::size_t>(page);
        const QString caption = at < template_.properties.items.size() ? toQt(template_.properties.items[at]) : QString();
        tabs_->addTab(new QWidget, caption);
    }
    for (int page = 0; page < pages; ++page)
        overlays_.emplace_back(new PageOverlay(tabs_));
    const int selected = template_.properties.selectedIndex.value_or(0);
    tabs_->setCurrentIndex(selected >= 0 && selected < pages ? selected : 0);
    QObject::connect(tabs_, &QTabWidget::currentChanged, &connections_, [this] { showSelectedOverlay(); });
    showSelectedOverlay();
    return tabs_;
}

QWidget* TabUnit::containerWidget(std::uint32_t page)
{
    return page < overlays_.size() ? overlays_[page].data() : nullptr;
}

void TabUnit::windowBuilt()
{
    showSelectedOverlay();
}

void TabUnit::showSelectedOverlay()
{
    const int selected = selectedPage();
    for (std::size_t page = 0; page < overlays_.size(); ++page) {
        if (!overlays_[page])
            continue;
        overlays_[page]->setVisible(static_cast<int>(page) == selected);
        if (static_cast<int>(page) == selected)
            overlays_[page]->raise();
    }
}

int TabUnit::pageCount() const
{
    return tabs_ ? tabs_->count() : 0;
}

int TabUnit::selectedPage() const
{
    return tabs_ ? tabs_->currentIndex() : -1;
}

QString TabUnit::pageCaption(int page) const
{
    return tabs_ && page >= 0 && page < tabs_->count() ? tabs_->tabText(page) : QString();
}

bool TabUnit::setPageCaption(int page, const QString& caption)
{
    if (!tabs_ || page < 0 || page >= tabs_->count())
        return false;
    tabs_->setTabText(page, caption);
    return true;
}

bool TabUnit::selectPage(int page)
{
    if (!tabs_ || page < 0 || page >= tabs_->count())
        return false;
    tabs_->setCurrentIndex(page);
    return true;
}

QStringList TabUnit::captions() const
{
    QStringList list;
    for (int page = 0; page < pageCount(); ++page)
        list.append(pageCaption(page));
    return list;
}

std::optional<RuntimeValue> TabUnit::readKindProperty(std::int32_t index)
{
    switch (index) {
    case kTabSelectedPage: return makeInt(selectedPage());
    case kTabPageCount: return makeInt(pageCount());
    default: return std::nullopt;
    }
}

bool TabUnit::writeKindProperty(std::int32_t index, std::int32_t, std::uint32_t payloadLow, std::uint32_t)
{
    if (index != kTabSelectedPage)
        return false;
    selectPage(static_cast<std::int32_t>(payloadLow));
    return true;
}

std::string TabUnit::describe() const
{
    return escapedForDescription(pageCaption(selectedPage())) + describedSelection(captions(), selectedPage())
        + describedItems(captions());
}

bool TabUnit::automate(std::string_view action, std::string_view argument, std::string& problem)
{
    if (action != "select")
        return Unit::automate(action, argument, problem);
    const int page = itemForSelection(captions(), argument);
    if (page < 0) {
        problem = name() + " has no page \"" + std::string(argument) + "\"";
        return false;
    }
    if (!userCanReach(*this, problem))
        return false;
    selectPage(page);
    return true;
}

}  // namespace quillora::runtime

namespace quillora {

using runtime::CommandArguments;
using runtime::requireUnit;
using runtime::TabUnit;

void tabPageCount(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    *result = makeInt(requireUnit<TabUnit>(argCount, args).pageCount());
}

void tabPageCaption(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    *result = runtime::textValue(requireUnit<TabUnit>(argCount, args).pageCaption(arguments.int32(1, -1)));
}

void tabSetPageCaption(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    TabUnit& tab = requireUnit<TabUnit>(argCount, args);
    *result = makeBool(tab.setPageCaption(arguments.int32(1, -1), runtime::toQt(arguments.text(2))));
}

}  // namespace quillora
