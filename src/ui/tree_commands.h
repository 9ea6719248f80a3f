#pragma once
// Add Node, Delete Node, Add Command and Delete Command on the configuration tree: the model
// changes through model/edit_actions.h, the tree entries follow.

#include <QObject>

class CConfigTreePane;
class CDeviceConfig;
class CGatewayView;
class CUserPrompt;
class QWidget;

class CTreeCommands : public QObject {
    Q_OBJECT
public:
    CTreeCommands(CDeviceConfig& root, bool& modified, CUserPrompt& prompt, CConfigTreePane& tree,
                  CGatewayView& view, QWidget* dialogParent);

    // Enable rules, from the selected tree entry.
    bool CanAddNode() const;
    bool CanDeleteNode() const;
    bool CanAddCommand() const;
    bool CanDeleteCommand() const;

    // A slave node under the selected "Subnet".
    void AddNode();
    // The selected slave node with its commands.
    void DeleteNode();
    // Opens "Select Command" for the selected slave node.
    void AddCommand();
    // A command of a function index (0-13) under the selected slave node; the 49th is refused
    // with "MODBUS Command number is more than 48!".
    void AddCommandOfFunction(int functionIndex);
    // The selected command.
    void DeleteCommand();

signals:
    // A slave node or command was added or deleted.
    void configurationEdited();

private:
    void Edited();

    CDeviceConfig& m_root;
    bool& m_modified;
    CUserPrompt& m_prompt;
    CConfigTreePane& m_tree;
    CGatewayView& m_view;
    QWidget* m_dialogParent;
};
