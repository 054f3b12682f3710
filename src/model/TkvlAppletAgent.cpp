#include "model/TkvlAppletAgent.h"

namespace veskaro {

namespace {

template <typename Record, typename Field, std::size_t N>
TStringArray toStrings(const Record& record, const std::array<Field, N>& fields) {
    TStringArray strings;
    strings.reserve(N);
    for (const auto& field : fields)
        strings.push_back(record.*field.member);
    return strings;
}

template <typename Record, typename Field, std::size_t N>
Record fromStrings(const TStringArray& strings, const std::array<Field, N>& fields) {
    Record record;
    for (std::size_t k = 0; k < N && k < strings.size(); ++k)
        record.*fields[k].member = strings[k];
    return record;
}

} // namespace

TkvlAppletAgent::TkvlAppletAgent() : m_separator(kValueTerminator) {
    AddLinkedFile("jslib.js", "js", false);
    AddLinkedFile("slidervsk.js", "js", false);
    AddLinkedFile("slidervsk.css", "css", true);
}

void TkvlAppletAgent::AddLinkedFile(const std::string& fileName, const std::string& fileType, bool generated) {
    m_linkedFiles.push_back({fileName, fileType, generated});
}

void TkvlAppletAgent::SetDefaults() {
    for (const AppletField& field : kAppletFields)
        m_appletData.*field.member = field.defaultValue;
    m_items.clear();
    m_projectFolder.clear();
    m_options = {};
}

void TkvlAppletAgent::renameLinkedFile(std::size_t index, const std::string& fileName) {
    m_linkedFiles.at(index).FileName = fileName;
}

TItemData TkvlAppletAgent::GetItem(int index) const {
    return m_items.at(static_cast<std::size_t>(index));
}

void TkvlAppletAgent::SetItem(const TItemData& item, int index) {
    m_items.at(static_cast<std::size_t>(index)) = item;
}

TItemData TkvlAppletAgent::DefaultItem() {
    TItemData item;
    item.ITarget = "_self";
    item.IImageWidth = "160";
    item.IImageHeight = "120";
    return item;
}

void TkvlAppletAgent::InsertItem(int index, const TItemData& item) {
    const int n = itemCount();
    if (n == 0)
        m_items.assign(1, item);
    else if (index == n)
        m_items.push_back(item);
    else if (index >= 0 && index < n)
        m_items.insert(m_items.begin() + index, item);
}

void TkvlAppletAgent::DeleteItem(int index) {
    const int n = itemCount();
    if (n == 1)
        m_items.clear();
    else if (index >= 0 && index < n)
        m_items.erase(m_items.begin() + index);
}

void TkvlAppletAgent::SwapWithPrevious(int index) {
    if (index > 0 && index < itemCount())
        std::swap(m_items[static_cast<std::size_t>(index)], m_items[static_cast<std::size_t>(index) - 1]);
}

TStringArray TkvlAppletAgent::AppletDataToStrings(const TAppletData& data) {
    return toStrings(data, kAppletFields);
}

TAppletData TkvlAppletAgent::StringsToAppletData(const TStringArray& strings) {
    return fromStrings<TAppletData>(strings, kAppletFields);
}

TStringArray TkvlAppletAgent::ItemToStrings(const TItemData& item) {
    return toStrings(item, kItemFields);
}

TItemData TkvlAppletAgent::StringsToItem(const TStringArray& strings) {
    return fromStrings<TItemData>(strings, kItemFields);
}

} // namespace veskaro
