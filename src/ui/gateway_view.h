#pragma once
// The form view: the property grid that shows the items of the object selected in the tree.
// Edits committed in the grid pass the rules of the owning node (model/commit_rules.h) before
// they are stored; refusals are shown to the user and the item keeps its old value.

#include <QWidget>
#include <vector>

#include "model/config_tree.h"
#include "model/value_rules.h"

class CDeviceConfig;
class CParamItem;
class CPropertyGrid;
class CSlaveNode;
class CUserPrompt;

class CGatewayView : public QWidget {
    Q_OBJECT
public:
    CGatewayView(CDeviceConfig& root, bool& modified, CUserPrompt& prompt, QWidget* parent = nullptr);

    CPropertyGrid* Grid() const { return m_grid; }

    // Empties the grid, closes its editors and empties the annotation pane.
    void ClearGrid();
    // Clears the grid and fills it from the record's object; the record becomes the current one.
    void ShowRecord(const TreeRecord& record);
    // Fills the grid again from the current record (after its values changed elsewhere).
    void RefreshRecord();
    // Clears the grid and forgets the current record (New, Open, an upload).
    void ResetView();
    // Paints the value cells of these faults red until their items are edited (an upload brought
    // values no edit would accept). ResetView drops the marks.
    void MarkValueFaults(const std::vector<ValueFault>& faults);
    // Commits an open editor now, before a command changes the configuration.
    void FinishEditing();

    const TreeRecord& CurrentRecord() const { return m_current; }

signals:
    // The help text of the last clicked row; empty when the grid was cleared.
    void helpTextChanged(const QString& text);
    // The subnet switched its protocol mode: the tree must be rebuilt.
    void modeSwitched();
    // A slave node took a new name from its address.
    void slaveRenamed(CSlaveNode* slave);
    // A committed edit changed the configuration.
    void configurationEdited();

private:
    void ShowHelp(int row);
    // The grid's commit handler: checks and stores the text of a row's editor by the rules of
    // the node, then writes the rows again; false (after showing why) when refused.
    bool Commit(int row, CParamItem* item, const QString& text);
    void ShowRefusal(unsigned code);
    void MarkChanged(bool changed);

    CDeviceConfig& m_root;
    bool& m_modified;
    CUserPrompt& m_prompt;
    CPropertyGrid* m_grid;
    TreeRecord m_current;   // the record whose object the grid shows
};
