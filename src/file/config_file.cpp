#include "file/config_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <tinyxml.h>

#include "file/character_references.h"
#include "file/regular_file.h"
#include "file/replacement_file.h"
#include "file/text_encoding.h"
#include "file/xml_shape_check.h"
#include "model/device_config.h"
#include "model/lang_strings.h"

namespace {

// Failures inside the reader and writer; caught at this file's boundary.
struct FileError {
    int row;               // line of the file, 0 when unknown
    std::string message;
};

// ---- writing -------------------------------------------------------------------------------

std::string ToFileText(const std::string& utf8)
{
    if (auto gbk = gw::Utf8ToGbk(utf8))
        return *gbk;
    throw FileError{0, "the text \"" + utf8 + "\" cannot be stored in the file's GB2312/GBK encoding"};
}

TiXmlElement* AppendElement(TiXmlNode* parent, const char* name, const std::string& value)
{
    TiXmlElement element(name);
    element.SetAttribute("Value", ToFileText(value));
    return parent->InsertEndChild(element)->ToElement();
}

TiXmlElement* AppendContainer(TiXmlNode* parent, const char* name)
{
    return AppendElement(parent, name, name);
}

void SaveXml(const CParamItem& item, TiXmlElement* parent)
{
    TiXmlElement* element = AppendElement(parent, "Item", item.label);
    AppendElement(element, "Ref", item.help);
    AppendElement(element, "CurrentVal", item.value);
    AppendElement(element, "State", std::to_string(item.state));
    AppendElement(element, "Enable", std::to_string(item.enable));
    // Drop-down items always carry their choices; other items carry them when they have any
    // (the subnet's "Data Bits" is shown only, yet its choices give the code sent to the module).
    if (item.state == STATE_LIST || item.state == STATE_LIST_TEXT || !item.choices.empty()) {
        TiXmlElement* combo = AppendContainer(element, "Combo");
        for (const std::string& choice : item.choices)
            AppendElement(combo, "ComboIndex", choice);
    }
}

// Writes every item, inside a new "ItemList" when flag is 0, directly into element otherwise.
void SaveItems(const ItemList& items, TiXmlElement* element, int flag)
{
    TiXmlElement* target = flag == 0 ? AppendContainer(element, "ItemList") : element;
    for (const auto& item : items)
        SaveXml(*item, target);
}

void SaveXml(const CModbusCommand& command, TiXmlElement* parent)
{
    TiXmlElement* element = AppendElement(parent, "Command", command.GetName());
    AppendElement(element, "CommandType", std::to_string(command.GetCommandType()));
    SaveItems(command.Items(), element, 0);
}

void SaveXml(const CSlaveNode& slave, TiXmlElement* parent)
{
    TiXmlElement* element = AppendElement(parent, "Node", slave.GetName());
    TiXmlElement* address = AppendContainer(element, "SlaveAddress");
    if (const CParamItem* item = slave.GetItemAt(SLAVE_ROW_ADDRESS))
        SaveXml(*item, address);
    TiXmlElement* commands = AppendContainer(element, "CommandList");
    for (const auto& command : slave.Commands())
        SaveXml(*command, commands);
}

void SaveNodes(const CConfigNode& node, TiXmlElement* element)
{
    TiXmlElement* list = AppendContainer(element, "NodeList");
    for (const auto& slave : node.Nodes())
        SaveXml(*slave, list);
}

void SaveXml(const CSubnetNode& subnet, TiXmlElement* root)
{
    TiXmlElement* element = AppendContainer(root, "Subnet");
    TiXmlElement* protocol = AppendContainer(element, "ProtocalType");
    AppendElement(element, "CurrentModeType", std::to_string(subnet.GetMode()));
    TiXmlElement* base = AppendContainer(element, "ItemList");
    SaveItems(subnet.Items(), base, 1);
    SaveItems(subnet.MasterModeItems(), AppendContainer(protocol, "MasterModeItemList"), 1);
    SaveItems(subnet.CommonModeItems(), AppendContainer(protocol, "CommonModeItemList"), 1);
    SaveNodes(subnet, element);
}

void SaveXml(const CBusNode& bus, TiXmlElement* root)
{
    TiXmlElement* element = AppendContainer(root, "PROFIBUS");
    SaveItems(bus.Items(), element, 0);
}

} // namespace

std::string gw::LocalDateTimeText(std::time_t when)
{
    std::tm local{};
    localtime_r(&when, &local);
    char text[80];
    std::snprintf(text, sizeof text, "%4.4d-%2.2d-%2.2d %2.2d:%2.2d:%2.2d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

namespace {

void SaveCompanyInfo(TiXmlElement* root)
{
    TiXmlElement* company = AppendContainer(root, "Company");
    AppendElement(company, "Name", gw::GetLangString(AppText::MakerName));
    AppendElement(company, "Tel", "+86-10-0000-0000");
    AppendElement(company, "Address", gw::GetLangString(AppText::MakerAddress));
    AppendElement(company, "Author", "gateway-workbench");
    AppendElement(company, "Version", "1.0.0.0");
    AppendElement(company, "DateTime", gw::LocalDateTimeText(std::time(nullptr)));
}

void SaveProductInfo(TiXmlElement* root)
{
    TiXmlElement* product = AppendContainer(root, "Product");
    AppendElement(product, "ProductName", "Kaliq");
    AppendElement(product, "Language", gw::LanguageName(gw::ActiveLanguage()));
}

// ---- reading -------------------------------------------------------------------------------

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// The texts of a file are GBK unless its declaration says UTF-8.
struct Reader {
    bool utf8 = false;

    std::string Text(const TiXmlElement* element) const
    {
        const char* raw = element->Attribute("Value");
        if (!raw)
            return {};
        if (utf8) {
            if (gw::IsValidUtf8(raw))
                return raw;
        } else if (auto text = gw::GbkToUtf8(raw)) {
            return *text;
        }
        throw FileError{element->Row(), std::string("the value of <") + element->Value() +
                                            "> is not valid " + (utf8 ? "UTF-8" : "GB2312/GBK") + " text"};
    }

    int Integer(const TiXmlElement* element) const
    {
        const std::string text = Text(element);
        std::size_t i = 0;
        if (i < text.size() && (text[i] == '-' || text[i] == '+'))
            ++i;
        const bool digits = i < text.size() && text.find_first_not_of("0123456789", i) == std::string::npos &&
                            text.size() - i <= 9;
        if (!digits)
            throw FileError{element->Row(), std::string("<") + element->Value() + "> holds \"" + text +
                                                "\" where a whole number is expected"};
        return std::stoi(text);
    }
};

// The first of first and its following sibling elements whose attribute equals text exactly.
const TiXmlElement* FindSiblingByValue(const TiXmlElement* first, const char* text, const char* attribute = "Value")
{
    for (const TiXmlElement* child = first; child; child = child->NextSiblingElement()) {
        const char* value = child->Attribute(attribute);
        if (std::strcmp(value ? value : "", text) == 0)
            return child;
    }
    return nullptr;
}

// The first child element whose attribute equals text exactly; none when there is none.
const TiXmlElement* FindChildByValue(const TiXmlElement* element, const char* text, const char* attribute = "Value")
{
    return element ? FindSiblingByValue(element->FirstChildElement(), text, attribute) : nullptr;
}

const TiXmlElement* RequireChild(const TiXmlElement* element, const char* text, const char* where)
{
    const TiXmlElement* child = FindChildByValue(element, text);
    if (!child)
        throw FileError{element ? element->Row() : 0,
                        std::string("the element \"") + text + "\" is missing from " + where};
    return child;
}

std::unique_ptr<CParamItem> LoadItem(const Reader& reader, const TiXmlElement* element)
{
    auto item = std::make_unique<CParamItem>();
    item->label = reader.Text(element);
    // Fields missing from a short item leave it empty, shown only and read-only.
    item->state = STATE_SHOW_ONLY;
    item->enable = 0;
    const TiXmlElement* field = element->FirstChildElement();
    if (field) {
        item->help = reader.Text(field);
        field = field->NextSiblingElement();
    }
    if (field) {
        item->value = reader.Text(field);
        field = field->NextSiblingElement();
    }
    if (field) {
        item->state = reader.Integer(field);
        field = field->NextSiblingElement();
    }
    if (field) {
        item->enable = reader.Integer(field);
        field = field->NextSiblingElement();
    }
    // The choices follow the four fields. A help text or value that reads "Combo" is one of the
    // fields, not the choice list, so the search starts after them.
    if (const TiXmlElement* combo = FindSiblingByValue(field, "Combo")) {
        for (const TiXmlElement* choice = combo->FirstChildElement(); choice; choice = choice->NextSiblingElement())
            item->AddChoice(reader.Text(choice));
    }
    return item;
}

void LoadItems(const Reader& reader, const TiXmlElement* list, ItemList& items)
{
    for (const TiXmlElement* element = list->FirstChildElement(); element; element = element->NextSiblingElement())
        items.push_back(LoadItem(reader, element));
}

std::unique_ptr<CSlaveNode> LoadSlave(const Reader& reader, const TiXmlElement* element)
{
    auto slave = CSlaveNode::MakeEmpty(reader.Text(element));
    const std::string where = "the slave node \"" + slave->GetName() + "\"";
    const TiXmlElement* address = element->FirstChildElement();
    if (!address)
        throw FileError{element->Row(), where + " has no slave address"};
    if (const TiXmlElement* item = address->FirstChildElement())
        slave->AppendItem(LoadItem(reader, item));
    const TiXmlElement* list = FindChildByValue(element, "CommandList");
    if (!list)
        return slave;
    int number = 0;
    for (const TiXmlElement* child = list->FirstChildElement(); child; child = child->NextSiblingElement()) {
        ++number;
        const std::string name = reader.Text(child);
        const std::string which = "command " + std::to_string(number) + " (\"" + name + "\") of " + where;
        const TiXmlElement* type = child->FirstChildElement();
        if (!type)
            throw FileError{child->Row(), which + " has no command type"};
        const int commandType = reader.Integer(type);
        if (!gw::IsSupportedFunctionIndex(commandType))
            throw FileError{type->Row(), which + " has the unsupported command type " + std::to_string(commandType)};
        const TiXmlElement* items = FindChildByValue(child, "ItemList");
        if (!items)
            throw FileError{child->Row(), which + " has no item list"};
        auto command = CModbusCommand::MakeEmpty(name, commandType);
        ItemList loaded;
        LoadItems(reader, items, loaded);
        for (auto& item : loaded)
            command->AppendItem(std::move(item));
        slave->AttachCommand(std::move(command));
    }
    return slave;
}

void LoadSubnet(const Reader& reader, const TiXmlElement* root, CSubnetNode& subnet)
{
    subnet.Reset();
    subnet.ItemListRef().clear();
    subnet.MasterModeItems().clear();
    subnet.CommonModeItems().clear();

    const TiXmlElement* element = RequireChild(root, "Subnet", "the file");
    const TiXmlElement* protocol = RequireChild(element, "ProtocalType", "\"Subnet\"");
    const TiXmlElement* mode = protocol->NextSiblingElement();
    if (!mode)
        throw FileError{protocol->Row(), "the protocol mode is missing after \"ProtocalType\""};
    subnet.SetModeField(reader.Integer(mode));
    LoadItems(reader, RequireChild(protocol, "MasterModeItemList", "\"ProtocalType\""), subnet.MasterModeItems());
    LoadItems(reader, RequireChild(protocol, "CommonModeItemList", "\"ProtocalType\""), subnet.CommonModeItems());
    LoadItems(reader, RequireChild(element, "ItemList", "\"Subnet\""), subnet.ItemListRef());

    // Older files keep the protocol row read-only; it is the one way to choose the mode.
    if (CParamItem* protocolRow = gw::ItemAt(subnet.Items(), SUBNET_ROW_PROTOCOL);
        protocolRow && protocolRow->state == STATE_LIST && protocolRow->choices.size() >= 2)
        protocolRow->SetEnable(1);

    // Files written without the choices of "Data Bits" still give its code "8" or "7".
    if (CParamItem* dataBits = gw::ItemAt(subnet.Items(), SUBNET_ROW_DATA_BITS); dataBits && dataBits->choices.empty()) {
        dataBits->AddChoice("8");
        dataBits->AddChoice("7");
    }

    if (const TiXmlElement* nodes = FindChildByValue(element, "NodeList")) {
        for (const TiXmlElement* child = nodes->FirstChildElement(); child; child = child->NextSiblingElement())
            subnet.AttachNode(LoadSlave(reader, child));
    }
}

void LoadBus(const Reader& reader, const TiXmlElement* root, CBusNode& bus)
{
    bus.Reset();
    bus.ItemListRef().clear();
    const TiXmlElement* element = FindChildByValue(root, "PROFIBUS");
    if (!element)
        element = FindChildByValue(root, "Profilebus");
    if (!element)
        throw FileError{root->Row(), "the element \"PROFIBUS\" is missing from the file"};
    const TiXmlElement* list = element->FirstChildElement();
    if (!list)
        throw FileError{element->Row(), "\"PROFIBUS\" has no item list"};
    LoadItems(reader, list, bus.ItemListRef());
}

// Accepts a file unless it was written by a program running in the other language.
FileResult CheckLanguage(const Reader& reader, const TiXmlElement* root)
{
    FileResult result;
    const TiXmlElement* product = FindChildByValue(root, "Product");
    const TiXmlElement* name = product ? product->FirstChildElement() : nullptr;
    const TiXmlElement* language = name ? name->NextSiblingElement() : nullptr;
    if (!language) {
        result.message = "the \"Product\" header with the language is missing";
        return result;
    }
    const Language other = gw::ActiveLanguage() == Language::English ? Language::Chinese : Language::English;
    if (reader.Text(language) == gw::LanguageName(other)) {
        result.languageMismatch = true;
        result.message = gw::GetLangString(MessageText::LanguageMismatch);
        return result;
    }
    result.ok = true;
    return result;
}

// The save time in the "Company" header; empty when it is missing or no readable text.
std::string SavedAt(const Reader& reader, const TiXmlElement* root)
{
    const TiXmlElement* company = FindChildByValue(root, "Company");
    const TiXmlElement* stamp = company ? company->FirstChildElement("DateTime") : nullptr;
    try {
        return stamp ? reader.Text(stamp) : std::string();
    } catch (const FileError&) {
        return {};
    }
}

std::string NormaliseLineEnds(std::string text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out.push_back('\n');
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::string Located(const std::string& source, int row, const std::string& message)
{
    return row > 0 ? source + ", line " + std::to_string(row) + ": " + message : source + ": " + message;
}

} // namespace

FileResult gw::WriteConfigText(const CDeviceConfig& root, std::string* text)
{
    FileResult result;
    try {
        TiXmlDocument doc;
        doc.InsertEndChild(TiXmlDeclaration("1.0", "gb2312", ""));
        TiXmlElement* top = AppendContainer(&doc, "Nordaq");
        SaveCompanyInfo(top);
        SaveProductInfo(top);
        SaveXml(root.Subnet(), top);
        SaveXml(root.Bus(), top);
        TiXmlPrinter printer;
        printer.SetIndent("    ");
        printer.SetLineBreak("\n");
        doc.Accept(&printer);
        *text = printer.Str();
        result.ok = true;
    } catch (const FileError& error) {
        result.message = error.message;
    }
    return result;
}

FileResult gw::SaveFile(const CDeviceConfig& root, const std::string& path)
{
    std::string text;
    FileResult result = WriteConfigText(root, &text);
    if (!result.ok) {
        result.message = "Cannot save " + path + ": " + result.message;
        return result;
    }
    if (const Outcome written = ReplaceFileContents(path, text); !written) {
        result.ok = false;
        result.message = "Cannot save " + path + ": " + written.message;
    }
    return result;
}

FileResult gw::ReadConfigText(CDeviceConfig& root, std::string text, const std::string& sourceName)
{
    FileResult result;
    if (text.size() > kMaxConfigFileBytes) {
        const auto limit = text.begin() + static_cast<long>(kMaxConfigFileBytes);
        result.message = Located(sourceName, 1 + static_cast<int>(std::count(text.begin(), limit, '\n')),
                                 "the file is larger than " + std::to_string(kMaxConfigFileBytes >> 20) +
                                     " MB, far larger than any configuration; reading stopped here");
        return result;
    }
    // A text editor's byte-order mark says UTF-8, whatever the declaration says.
    const bool byteOrderMark = text.starts_with(kUtf8ByteOrderMark);
    if (byteOrderMark)
        text.erase(0, kUtf8ByteOrderMark.size());
    text = NormaliseLineEnds(std::move(text));
    // The parser descends once per level and names no line for a text that was cut off.
    const XmlShapeCheck shape = CheckXmlShape(text);
    if (!shape.ok) {
        result.message = Located(sourceName, shape.line, shape.message);
        return result;
    }
    Reader reader;
    if (XmlShapeCheck characters = CheckDeclaredEncoding(text, byteOrderMark, &reader.utf8); !characters.ok ||
        !(characters = ResolveCharacterReferences(text, reader.utf8)).ok) {
        result.message = Located(sourceName, characters.line, characters.message);
        return result;
    }
    TiXmlDocument doc;
    doc.Parse(text.c_str(), nullptr, TIXML_ENCODING_LEGACY);
    if (doc.Error()) {
        result.message = Located(sourceName, doc.ErrorRow() > 0 ? doc.ErrorRow() : shape.line,
                                 std::string("not a readable XML file (") + doc.ErrorDesc() + ")");
        return result;
    }
    const TiXmlElement* top = doc.FirstChildElement();
    if (!top) {
        result.message = sourceName + ": the file holds no configuration";
        return result;
    }
    try {
        result = CheckLanguage(reader, top);
        if (!result.ok) {
            if (!result.languageMismatch)
                result.message = Located(sourceName, top->Row(), result.message);
            return result;
        }
        CDeviceConfig fresh;
        LoadSubnet(reader, top, fresh.Subnet());
        LoadBus(reader, top, fresh.Bus());
        root.TakeContentsFrom(fresh);
        result.savedAt = SavedAt(reader, top);
    } catch (const FileError& error) {
        result.ok = false;
        result.message = Located(sourceName, error.row, error.message);
    }
    return result;
}

FileResult gw::LoadFile(CDeviceConfig& root, const std::string& path)
{
    // Reading stops a little past the size limit: the rest would be refused anyway.
    std::string content;
    if (const Outcome read = ReadRegularFile(path, kMaxConfigFileBytes, content); !read) {
        FileResult result;
        result.message = "Cannot open " + path + ": " + read.message;
        return result;
    }
    return ReadConfigText(root, std::move(content), path);
}
