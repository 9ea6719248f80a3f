#include "ui/edit_history.h"

#include <QUndoStack>
#include <utility>

#include "model/config_copy.h"
#include "model/device_config.h"

namespace {

std::unique_ptr<CDeviceConfig> Snapshot(const CDeviceConfig& root)
{
    auto copy = std::make_unique<CDeviceConfig>();
    gw::CopyConfiguration(root, *copy);
    return copy;
}

} // namespace

class CEditHistory::Step : public QUndoCommand {
public:
    Step(CEditHistory& history, const QString& text, std::unique_ptr<CDeviceConfig> before,
         std::unique_ptr<CDeviceConfig> after)
        : QUndoCommand(text), m_history(history), m_before(std::move(before)), m_after(std::move(after))
    {
    }
    void undo() override { m_history.Restore(*m_before); }
    void redo() override
    {
        // The change itself has already been made when the step is recorded.
        if (m_done)
            m_history.Restore(*m_after);
        m_done = true;
    }

private:
    CEditHistory& m_history;
    std::unique_ptr<CDeviceConfig> m_before;
    std::unique_ptr<CDeviceConfig> m_after;
    bool m_done = false;
};

CEditHistory::CEditHistory(CDeviceConfig& root, bool& modified, QObject* parent)
    : QObject(parent), m_root(root), m_modified(modified), m_stack(new QUndoStack(this)), m_recorded(Snapshot(root))
{
    connect(m_stack, &QUndoStack::cleanChanged, this, &CEditHistory::FollowStack);
    connect(m_stack, &QUndoStack::indexChanged, this, &CEditHistory::FollowStack);
}

CEditHistory::~CEditHistory() = default;

void CEditHistory::Reset()
{
    m_stack->clear();
    m_recorded = Snapshot(m_root);
    FollowStack();
}

void CEditHistory::MarkSaved()
{
    // A change not yet recorded is part of what was saved.
    Record(tr("Edit"));
    m_stack->setClean();
    FollowStack();
}

void CEditHistory::Record(const QString& text)
{
    if (!gw::SameConfiguration(m_root, *m_recorded)) {
        auto after = Snapshot(m_root);
        m_stack->push(new Step(*this, text, std::exchange(m_recorded, Snapshot(m_root)), std::move(after)));
    }
    FollowStack();
}

void CEditHistory::Restore(const CDeviceConfig& state)
{
    gw::CopyConfiguration(state, m_root);
    m_recorded = Snapshot(m_root);
    emit configurationRestored();
    FollowStack();
}

void CEditHistory::FollowStack()
{
    m_modified = !m_stack->isClean();
}
