#include "model/bus_node.h"

#include "model/lang_strings.h"

CBusNode::CBusNode() : CConfigNode(GetLangString(17))
{
    AppendItem(MakeItem(GetLangString(59), GetLangString(60), "PROFIBUS", STATE_SHOW_ONLY, 0));
    AppendItem(MakeItem(GetLangString(61), GetLangString(62), GetLangString(63), STATE_SHOW_ONLY, 0));
    AppendItem(MakeItem(GetLangString(64), GetLangString(65), GetLangString(66), STATE_SHOW_ONLY, 0));
    AppendItem(MakeItem(GetLangString(80), GetLangString(83), GetLangString(81), STATE_LIST, 1,
                        {GetLangString(82), GetLangString(81)}));
    AppendItem(MakeItem(GetLangString(84), GetLangString(85), GetLangString(86), STATE_LIST_TEXT, 1,
                        {GetLangString(86), GetLangString(87)}));
}

void CBusNode::Reset()
{
    CConfigNode::Reset();
    SetChoice(BUS_ROW_ADDRESS_MODE, 1);
    if (CParamItem* timeout = GetItemAt(BUS_ROW_PROBE_TIMEOUT))
        timeout->SetEnable(1);
    SetChoice(BUS_ROW_PROBE_TIMEOUT, 0);
}
