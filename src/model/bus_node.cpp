#include "model/bus_node.h"

#include "model/lang_strings.h"

CBusNode::CBusNode() : CConfigNode(GetLangString(AppText::FieldbusName))
{
    AppendItem(MakeItem({.label = GetLangString(BusText::Protocol), .help = GetLangString(BusText::ProtocolHelp),
                         .value = "PROFIBUS", .state = STATE_SHOW_ONLY, .enable = 0}));
    AppendItem(MakeItem({.label = GetLangString(BusText::InputBytes), .help = GetLangString(BusText::InputBytesHelp),
                         .value = GetLangString(BusText::InputBytesValue), .state = STATE_SHOW_ONLY, .enable = 0}));
    AppendItem(MakeItem({.label = GetLangString(BusText::OutputBytes), .help = GetLangString(BusText::OutputBytesHelp),
                         .value = GetLangString(BusText::OutputBytesValue), .state = STATE_SHOW_ONLY, .enable = 0}));
    AppendItem(MakeItem({.label = GetLangString(BusText::AddressMode), .help = GetLangString(BusText::AddressModeHelp),
                         .value = GetLangString(ChoiceText::ProbeAddress), .state = STATE_LIST, .enable = 1,
                         .choices = {GetLangString(ChoiceText::SetByIoPort), GetLangString(ChoiceText::ProbeAddress)}}));
    AppendItem(MakeItem({.label = GetLangString(BusText::ProbeTimeout), .help = GetLangString(BusText::ProbeTimeoutHelp),
                         .value = GetLangString(ChoiceText::DefaultValue), .state = STATE_LIST_TEXT, .enable = 1,
                         .choices = {GetLangString(ChoiceText::DefaultValue), GetLangString(ChoiceText::Customized)}}));
}

void CBusNode::Reset()
{
    CConfigNode::Reset();
    SetChoice(BUS_ROW_ADDRESS_MODE, 1);
    if (CParamItem* timeout = GetItemAt(BUS_ROW_PROBE_TIMEOUT))
        timeout->SetEnable(1);
    SetChoice(BUS_ROW_PROBE_TIMEOUT, 0);
}
