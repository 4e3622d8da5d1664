#include "windows/list_history.h"

namespace pellucard {

namespace {
constexpr int kMergingCommandId = 0x4c48;  // any id shared by the mergeable list changes
}

ListChangeCommand::ListChangeCommand(ListHistoryOwner& owner, int list, Side before, Side after,
                                     int mergeKey)
    : owner_(owner),
      list_(list),
      before_(std::move(before)),
      after_(std::move(after)),
      mergeKey_(mergeKey) {}

void ListChangeCommand::undo() {
    owner_.restoreListState(list_, before_.state, before_.revision);
    applied_ = false;
}

void ListChangeCommand::redo() {
    if (applied_)
        return;
    owner_.restoreListState(list_, after_.state, after_.revision);
    applied_ = true;
}

int ListChangeCommand::id() const {
    return mergeKey_ != 0 ? kMergingCommandId : -1;
}

bool ListChangeCommand::mergeWith(const QUndoCommand* other) {
    const auto* next = dynamic_cast<const ListChangeCommand*>(other);
    if (next == nullptr || next->list_ != list_ || next->mergeKey_ != mergeKey_)
        return false;
    after_ = next->after_;
    return true;
}

}  // namespace pellucard
