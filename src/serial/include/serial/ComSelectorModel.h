#pragma once
// The port selector without its widget: the entries, the selection and the
// binding to a port. A widget mirrors it through the listener and reports
// the operator's picks with PickEntry.
#include <functional>
#include <string>
#include <vector>

#include "serial/PortList.h"

namespace nkq {

class TCustomComPort;

enum class TComProperty { cpNone, cpPort, cpBaudRate, cpDataBits, cpStopBits, cpParity, cpFlowControl };

enum class TComSelectorChange { Entries, Selection };

class TComSelectorModel {
public:
    static constexpr int kNoEntry = -1;

    explicit TComSelectorModel(TPortListRoots roots = {});
    ~TComSelectorModel();
    TComSelectorModel(const TComSelectorModel&) = delete;
    TComSelectorModel& operator=(const TComSelectorModel&) = delete;

    const std::vector<std::string>& Items() const { return items_; }
    int ItemIndex() const { return item_index_; }
    // Selection by program: never changes the port's name.
    void SetItemIndex(int index);
    std::string Text() const;
    void SetText(const std::string& text);

    TComProperty ComProperty() const { return com_property_; }
    // cpPort rebuilds the list and reselects; only cpPort lists anything.
    void SetComProperty(TComProperty value);
    void Refresh() { SetComProperty(TComProperty::cpPort); }

    bool AutoApply() const { return auto_apply_; }
    void SetAutoApply(bool value) { auto_apply_ = value; }

    TCustomComPort* ComPort() const { return com_port_; }
    // Not owned; binding selects the entry matching the port's name.
    void SetComPort(TCustomComPort* port);

    const std::string& PendingName() const { return pending_name_; }

    // The operator picked entry `index` (kNoEntry or out of range: none).
    void PickEntry(int index);

    void SetListener(std::function<void(TComSelectorChange)> listener) { listener_ = std::move(listener); }

private:
    int FindEntry(const std::string& name) const;
    void Select(int index);
    void SelectBoundPort();
    void ReplaceItems(std::vector<std::string> items);
    void PortDestroyed();
    void Changed(TComSelectorChange change) const;

    TPortListRoots roots_;
    std::vector<std::string> items_;
    int item_index_ = kNoEntry;
    TComProperty com_property_ = TComProperty::cpNone;
    bool auto_apply_ = false;
    TCustomComPort* com_port_ = nullptr;
    int free_notification_ = 0;
    std::string pending_name_;
    std::function<void(TComSelectorChange)> listener_;
};

// The window's start-up: ComProperty cpPort, AutoApply, Text "COM1",
// entry 0, then the binding to `port`, which decides the selection. A list
// failure is raised with "Error reading <selector>.ComProperty: " before
// the port layer's message.
void LoadSystemSelector(TComSelectorModel& selector, TCustomComPort& port,
                        const std::string& selector_name = "ComComboBox1");

}  // namespace nkq
