#pragma once
// The configuration root: the one entry point through which the document, the transfers,
// the mapping and the views reach the model. It holds the subnet node and the fieldbus node.

#include <memory>
#include <vector>

#include "model/bus_node.h"
#include "model/config_tree.h"
#include "model/subnet_node.h"

class CDeviceConfigBase {
public:
    virtual ~CDeviceConfigBase() = default;

    void AddTopNode(std::unique_ptr<CConfigNode> node)
    {
        if (node)
            m_topNodes.push_back(std::move(node));
    }
    int GetTopNodeCount() const { return static_cast<int>(m_topNodes.size()); }
    // All commands under all top nodes: each node's own plus those of its slave nodes.
    virtual int GetCommandCount() const;

protected:
    std::vector<std::unique_ptr<CConfigNode>> m_topNodes;
};

class CDeviceConfig : public CDeviceConfigBase {
public:
    CDeviceConfig() = default;
    CDeviceConfig(const CDeviceConfig&) = delete;
    CDeviceConfig& operator=(const CDeviceConfig&) = delete;

    CSubnetNode& Subnet() { return m_subnet; }
    const CSubnetNode& Subnet() const { return m_subnet; }
    CBusNode& Bus() { return m_bus; }
    const CBusNode& Bus() const { return m_bus; }

    // Commands of the subnet's first slave node (0 when there is none).
    int GetCommandCount() const override;
    // A new configuration: the subnet node and then the fieldbus node reset.
    void ResetAll();
    // The configuration built anew in the active language: the defaults of a fresh root, with
    // every name, label, help text and choice from that language's string table. A program
    // runs this once it knows its language, before anything is shown or written.
    void RemakeInActiveLanguage();
    // The whole tree: "PROFIBUS" first, then "Subnet" with its slave nodes in Modbus Master mode.
    TreeEntries BuildTree();
    // Runs the subnet's empty check (the download's first pre-check).
    Outcome CheckEmpty() const { return m_subnet.CheckEmpty(); }

    // Moves the contents of other into this root (used when a file or an upload has been read
    // into a fresh configuration and is to replace this one whole).
    void TakeContentsFrom(CDeviceConfig& other);

private:
    CSubnetNode m_subnet;
    CBusNode m_bus;
};
