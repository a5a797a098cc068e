#include "serial/ComSelectorModel.h"

#include "app/LibraryText.h"
#include "app/MessageText.h"
#include "serial/ComPort.h"
#include "serial/EComPort.h"
#include "serial/PortNames.h"

namespace nkq {

TComSelectorModel::TComSelectorModel(TPortListRoots roots) : roots_(std::move(roots)) {}

TComSelectorModel::~TComSelectorModel() {
    if (com_port_) com_port_->RemoveFreeNotification(free_notification_);
}

void TComSelectorModel::Changed(TComSelectorChange change) const {
    if (listener_) listener_(change);
}

int TComSelectorModel::FindEntry(const std::string& name) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (SamePortName(items_[i], name)) return static_cast<int>(i);
    }
    return kNoEntry;
}

void TComSelectorModel::Select(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) index = kNoEntry;
    if (index == item_index_) return;
    item_index_ = index;
    Changed(TComSelectorChange::Selection);
}

void TComSelectorModel::SetItemIndex(int index) { Select(index); }

std::string TComSelectorModel::Text() const {
    return item_index_ == kNoEntry ? std::string() : items_[static_cast<std::size_t>(item_index_)];
}

void TComSelectorModel::SetText(const std::string& text) {
    if (const int index = FindEntry(text); index != kNoEntry) Select(index);
}

void TComSelectorModel::ReplaceItems(std::vector<std::string> items) {
    Select(kNoEntry);
    items_ = std::move(items);
    Changed(TComSelectorChange::Entries);
}

void TComSelectorModel::SelectBoundPort() {
    const int index = FindEntry(com_port_->Port());
    Select(index);
    if (index != kNoEntry) pending_name_ = items_[static_cast<std::size_t>(index)];
}

void TComSelectorModel::SetComProperty(TComProperty value) {
    com_property_ = value;
    ReplaceItems({});
    if (value != TComProperty::cpPort) return;
    std::vector<std::string> names;
    ListPortNames(names, roots_);
    ReplaceItems(std::move(names));
    if (items_.empty()) return;
    if (com_port_) {
        SelectBoundPort();
    } else {
        Select(0);
    }
}

void TComSelectorModel::SetComPort(TCustomComPort* port) {
    if (port == com_port_) return;
    if (com_port_) com_port_->RemoveFreeNotification(free_notification_);
    com_port_ = port;
    if (!com_port_) return;
    free_notification_ = com_port_->AddFreeNotification([this] { PortDestroyed(); });
    SelectBoundPort();
}

void TComSelectorModel::PortDestroyed() {
    com_port_ = nullptr;
    Select(items_.empty() ? kNoEntry : 0);
}

void TComSelectorModel::PickEntry(int index) {
    Select(index);
    pending_name_ = Text();
    if (auto_apply_ && com_port_) com_port_->SetPort(pending_name_);
}

void LoadSystemSelector(TComSelectorModel& selector, TCustomComPort& port, const std::string& selector_name) {
    try {
        selector.SetComProperty(TComProperty::cpPort);
    } catch (const EComPort& error) {
        const std::string text = FillIn(LibraryText("Error reading %s%s%s: %s"),
                                        {selector_name, ".", "ComProperty", error.Message()});
        throw EComPort(error.MessageCode(), error.SystemError(), text);
    }
    selector.SetAutoApply(true);
    selector.SetText("COM1");
    selector.SetItemIndex(0);
    selector.SetComPort(&port);
}

}  // namespace nkq
