#pragma once
// The subnet node: the module's serial side, in Modbus Master or User Config mode.
// Rows 0-5 are the base items; rows from 6 on come from the current mode's list.

#include "model/config_node.h"
#include "model/result_codes.h"

enum SubnetMode : int { MODE_MODBUS_MASTER = 0, MODE_USER_CONFIG = 1 };

enum SubnetRow : int {
    SUBNET_ROW_PROTOCOL = 0,
    SUBNET_ROW_BAUD_RATE = 1,
    SUBNET_ROW_DATA_BITS = 2,
    SUBNET_ROW_CHECK_BIT = 3,
    SUBNET_ROW_STOP_BITS = 4,
    SUBNET_ROW_SLAVE_ADDRESS = 5,
    SUBNET_ROW_TRANSMISSION = 6,
    SUBNET_ROW_RESPONSE_TIMEOUT = 7,
    SUBNET_ROW_POLL_DELAY = 8,
    SUBNET_ROW_OUTPUT_MODE = 9,
    SUBNET_ROW_OUTPUT_PULSE = 10,
    SUBNET_ROW_SCAN_RATE = 11,
    SUBNET_ROW_FRAME_TYPE = 12,
    SUBNET_ROW_CHAR_INTERVAL = 13,
    SUBNET_ROW_FRAME_LENGTH = 14,
    SUBNET_ROW_START_DELIMITER = 15,
    SUBNET_ROW_END_DELIMITER = 16,
    SUBNET_ROW_AUTO_SEND = 17,
    SUBNET_ROW_AUTO_SEND_PERIOD = 18,
    SUBNET_ROW_CRC_CHECK = 19,
};

inline constexpr int kSubnetBaseRows = 6;

class CSubnetNode : public CConfigNode {
public:
    CSubnetNode();

    CParamItem* GetItemAt(int row) const override;
    int GetRowCount() const override;
    // Slave nodes and their commands appear only in Modbus Master mode.
    void BuildTree(TreeEntries& children) override;
    int ShowItems(CGridSink* grid) const override;
    int GetMode() const override { return CurrentModeType; }
    // Switches the mode; row 0 follows for modes 0 and 1.
    void SetMode(int mode) override;
    void Reset() override;
    void SwapContents(CConfigNode& other) override;

    // Sets the mode field alone, as a file does (row 0's text comes from the file).
    void SetModeField(int mode) { CurrentModeType = mode; }

    CParamItem* GetMasterModeItemAt(int index) const { return gw::ItemAt(MasterModeItemList, index); }
    CParamItem* GetCommonModeItemAt(int index) const { return gw::ItemAt(CommonModeItemList, index); }
    ItemList& MasterModeItems() { return MasterModeItemList; }
    ItemList& CommonModeItems() { return CommonModeItemList; }
    const ItemList& MasterModeItems() const { return MasterModeItemList; }
    const ItemList& CommonModeItems() const { return CommonModeItemList; }
    // The item list that rows from 6 on show in the current mode.
    const ItemList& CurrentModeItems() const;

    // Refuses an empty required row or slave item; on refusal returns 6 and sets the message.
    Outcome CheckEmpty() const;

    // The protocol as the mode number says it, which is what the download goes by: "Modbus
    // Master", "User Config" or "unknown mode N"; when the "Protocol Select" row says
    // otherwise, what it says follows ("User Config (the row reads "Modbus Master")").
    std::string DescribeProtocol() const;

    // Device parameters, as the download sends them; -1 where the row has no item.
    int GetProtocolCode() const;
    int GetBaudRate() const { return GetChoiceIndex(SUBNET_ROW_BAUD_RATE); }
    int GetDataBits() const { return GetChoiceIndex(SUBNET_ROW_DATA_BITS); }
    int GetCheckBit() const { return GetChoiceIndex(SUBNET_ROW_CHECK_BIT); }
    int GetStopBits() const { return GetChoiceIndex(SUBNET_ROW_STOP_BITS); }
    int GetTransmissionMode() const { return GetChoiceIndex(SUBNET_ROW_TRANSMISSION); }
    int GetResponseTimeout() const { return GetIntValue(SUBNET_ROW_RESPONSE_TIMEOUT); }
    int GetPollDelay() const;
    int GetOutputMode() const;
    int GetScanRate() const { return GetIntValue(SUBNET_ROW_SCAN_RATE); }
    int GetFrameType() const { return GetChoiceIndex(SUBNET_ROW_FRAME_TYPE); }
    int GetCharInterval() const { return GetIntValue(SUBNET_ROW_CHAR_INTERVAL); }
    int GetFrameLength() const { return GetIntValue(SUBNET_ROW_FRAME_LENGTH); }
    int GetStartDelimiter() const { return GetIntValue(SUBNET_ROW_START_DELIMITER); }
    int GetEndDelimiter() const { return GetIntValue(SUBNET_ROW_END_DELIMITER); }
    int GetAutoSending() const { return GetChoiceIndex(SUBNET_ROW_AUTO_SEND); }
    int GetAutoSendingPeriod() const { return GetIntValue(SUBNET_ROW_AUTO_SEND_PERIOD); }
    int GetCrcCheck() const { return GetChoiceIndex(SUBNET_ROW_CRC_CHECK); }

private:
    ItemList MasterModeItemList;
    ItemList CommonModeItemList;
    int CurrentModeType = MODE_MODBUS_MASTER;
};
