#pragma once
// Undo and Redo of every change of the configuration. After each change the caller records it;
// a step keeps the whole configuration before and after the change, so undoing restores
// exactly what was there (side effects of an edit included). The modified flag follows the
// stack: back at the saved state it is clear.

#include <QObject>
#include <memory>

class CDeviceConfig;
class QUndoStack;

class CEditHistory : public QObject {
    Q_OBJECT
public:
    CEditHistory(CDeviceConfig& root, bool& modified, QObject* parent = nullptr);
    ~CEditHistory() override;

    QUndoStack* Stack() const { return m_stack; }
    // Forgets every step: the present configuration is the saved one (New, Open, start-up).
    void Reset();
    // The present configuration was saved.
    void MarkSaved();
    // Makes one step of whatever changed since the last step; nothing when nothing changed.
    void Record(const QString& text);

signals:
    // Undo or Redo replaced the configuration: the views must show it again.
    void configurationRestored();

private:
    class Step;
    void Restore(const CDeviceConfig& state);
    void FollowStack();

    CDeviceConfig& m_root;
    bool& m_modified;
    QUndoStack* m_stack;
    std::unique_ptr<CDeviceConfig> m_recorded;   // the configuration as of the last step
};
