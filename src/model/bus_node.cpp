#include "model/bus_node.h"

#include "model/lang_strings.h"

CBusNode::CBusNode() : CConfigNode(gw::GetLangString(AppText::FieldbusName))
{
    AppendItem(gw::MakeItem({.label = gw::GetLangString(BusText::Protocol), .help = gw::GetLangString(BusText::ProtocolHelp),
                         .value = "PROFIBUS", .state = STATE_SHOW_ONLY, .enable = 0}));
    AppendItem(gw::MakeItem({.label = gw::GetLangString(BusText::InputBytes), .help = gw::GetLangString(BusText::InputBytesHelp),
                         .value = gw::GetLangString(BusText::InputBytesValue), .state = STATE_SHOW_ONLY, .enable = 0}));
    AppendItem(gw::MakeItem({.label = gw::GetLangString(BusText::OutputBytes), .help = gw::GetLangString(BusText::OutputBytesHelp),
                         .value = gw::GetLangString(BusText::OutputBytesValue), .state = STATE_SHOW_ONLY, .enable = 0}));
    AppendItem(gw::MakeItem({.label = gw::GetLangString(BusText::AddressMode), .help = gw::GetLangString(BusText::AddressModeHelp),
                         .value = gw::GetLangString(ChoiceText::ProbeAddress), .state = STATE_LIST, .enable = 1,
                         .choices = {gw::GetLangString(ChoiceText::SetByIoPort), gw::GetLangString(ChoiceText::ProbeAddress)}}));
    AppendItem(gw::MakeItem({.label = gw::GetLangString(BusText::ProbeTimeout), .help = gw::GetLangString(BusText::ProbeTimeoutHelp),
                         .value = gw::GetLangString(ChoiceText::DefaultValue), .state = STATE_LIST_TEXT, .enable = 1,
                         .choices = {gw::GetLangString(ChoiceText::DefaultValue), gw::GetLangString(ChoiceText::Customized)}}));
}

void CBusNode::Reset()
{
    CConfigNode::Reset();
    SetChoice(BUS_ROW_ADDRESS_MODE, 1);
    if (CParamItem* timeout = GetItemAt(BUS_ROW_PROBE_TIMEOUT))
        timeout->SetEnable(1);
    SetChoice(BUS_ROW_PROBE_TIMEOUT, 0);
}
