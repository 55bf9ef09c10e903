#pragma once

#include "SettingKey.h"

// Every per-user and machine setting the programs keep, with its type and
// the value that holds when nothing is stored. Key paths and value names are
// those of settings files already in use: change none of them.
namespace SettingsKeys {

inline constexpr char App[] = "Software\\Halvard Software\\Qel\\4.0\\App";
inline constexpr char AppSettings[] = "Software\\Halvard Software\\Qel\\4.0\\App\\Settings";
inline constexpr char AppLogin[] = "Software\\Halvard Software\\Qel\\4.0\\App\\Login";
inline constexpr char AppRecentNotes[] = "Software\\Halvard Software\\Qel\\4.0\\App\\RecentNotes";
inline constexpr char AppPhoneMessage[] = "Software\\Halvard Software\\Qel\\4.0\\App\\PhoneMessage";
inline constexpr char ServerDatabase[] = "Software\\Halvard Software\\Qel\\4.0\\Server\\Database";
inline constexpr char OdbcIni[] = "Software\\ODBC\\ODBC.INI";
inline constexpr char OdbcDataSources[] = "Software\\ODBC\\ODBC.INI\\ODBC Data Sources";

inline constexpr Registry::Hive User = Registry::CurrentUser;
inline constexpr Registry::Hive Machine = Registry::LocalMachine;
inline constexpr SettingKey::Type Text = SettingKey::Text;
inline constexpr SettingKey::Type Number = SettingKey::Number;
inline constexpr SettingKey::Type Flag = SettingKey::Flag;
inline constexpr SettingKey::Family Single = SettingKey::Single;
inline constexpr SettingKey::Family PerValue = SettingKey::ValuePerItem;
inline constexpr SettingKey::Family PerKey = SettingKey::KeyPerItem;

// Window and list: the main window's normal rectangle in twips, the tree's
// width, the node shown at start, the list's style and picture size.
inline constexpr SettingKey WindowLeft         {User, AppSettings, "Left",          Number};
inline constexpr SettingKey WindowTop          {User, AppSettings, "Top",           Number};
inline constexpr SettingKey WindowWidth        {User, AppSettings, "Width",         Number};
inline constexpr SettingKey WindowHeight       {User, AppSettings, "Height",        Number};
inline constexpr SettingKey VSplitter          {User, AppSettings, "VSplitter",     Number};
inline constexpr SettingKey DefaultBranch      {User, AppSettings, "DefaultBranch", Text,   "NOD0"};
inline constexpr SettingKey ListView           {User, AppSettings, "ListView",      Number};
inline constexpr SettingKey IconSize           {User, AppSettings, "IconSize",      Number, "16"};

// View: the bars shown and the list font.
inline constexpr SettingKey Search             {User, AppSettings, "Search",        Flag};
inline constexpr SettingKey StatusToolbar      {User, AppSettings, "StatusToolbar", Flag};
inline constexpr SettingKey NavToolbar         {User, AppSettings, "NavToolbar",    Flag};
inline constexpr SettingKey InfoBar            {User, AppSettings, "InfoBar",       Flag};
inline constexpr SettingKey FontName           {User, AppSettings, "FontName",      Text};
inline constexpr SettingKey FontBold           {User, AppSettings, "FontBold",      Flag};
inline constexpr SettingKey FontSize           {User, AppSettings, "FontSize",      Number};
inline constexpr SettingKey FontItalic         {User, AppSettings, "FontItalic",    Flag};

// Columns and tree: per column key ("NOTE") and per tree node key ("NOD3").
inline constexpr SettingKey ColumnWidth        {User, AppSettings, "COL_WIDTH_",    Number, nullptr, PerValue};
inline constexpr SettingKey HiddenColumn       {User, AppSettings, "HIDE_COL_",     Flag,   "False", PerValue};
inline constexpr SettingKey TreeNodeShown      {User, AppSettings, "TREENODE_",     Flag,   "True",  PerValue};
inline constexpr SettingKey TreeByStatus       {User, AppSettings, "TreeByStatus",  Flag,   "True"};

// Calendar: the status each busy marking of an appointment sets, and the
// calendar and contacts files.
inline constexpr SettingKey OutlookFree        {User, AppSettings, "OutlookFree",        Text, "MTA"};
inline constexpr SettingKey OutlookTentative   {User, AppSettings, "OutlookTentative",   Text, "MTT"};
inline constexpr SettingKey OutlookBusy        {User, AppSettings, "OutlookBusy",        Text, "MTG"};
inline constexpr SettingKey OutlookOutOfOffice {User, AppSettings, "OutlookOutOfOffice", Text, "MTO"};
inline constexpr SettingKey CalendarPath       {User, AppSettings, "CalendarPath",       Text};
inline constexpr SettingKey ContactsPath       {User, AppSettings, "ContactsPath",       Text};

// Mail and help. The journal's default lies in the user's data folder, which
// only MailSettings knows.
inline constexpr SettingKey JournalPath        {User, AppSettings, "JournalPath",      Text};
inline constexpr SettingKey SendmailCommand    {User, AppSettings, "SendmailCommand",  Text, "sendmail -t -i"};
inline constexpr SettingKey MailProgram        {User, AppSettings, "MailProgram",      Text};
inline constexpr SettingKey SupportMailbox     {User, AppSettings, "SupportMailbox",   Text};
inline constexpr SettingKey ErrorHelpAddress   {User, AppSettings, "ErrorHelpAddress", Text,
                                                "(see \"Troubleshooting\" in the Tessaly README)"};

// Log-in and the user's lists: each list one text, every entry followed by "#".
inline constexpr SettingKey LoginName          {User, AppLogin,        "Name",     Text};
inline constexpr SettingKey RecentNotes        {User, AppRecentNotes,  "Notes",    Text};
inline constexpr SettingKey RecentCallers      {User, AppPhoneMessage, "Contacts", Text};

// Database: the user's choice, and the web library's connection on the machine.
inline constexpr SettingKey DatabaseType       {User,    ServerDatabase, "Type",              Text};
inline constexpr SettingKey DatabaseServer     {User,    ServerDatabase, "Server",            Text};
inline constexpr SettingKey DatabaseConnection {User,    ServerDatabase, "Connection",        Text};
inline constexpr SettingKey WebConnection      {Machine, ServerDatabase, "WebConnection",     Text,
                                                "Provider=MSDASQL;DSN=StaffDataDSN;"};
inline constexpr SettingKey WebConnectionType  {Machine, ServerDatabase, "WebConnectionType", Text, "FOXPRO"};

// Data source: the list of data sources (one value per data source name),
// and the record of each, a key named after it.
inline constexpr SettingKey DataSourceList     {User, OdbcDataSources, "",                Text, nullptr, PerValue};
inline constexpr SettingKey DsnDriver          {User, OdbcIni,         "Driver",          Text, nullptr, PerKey};
inline constexpr SettingKey DsnDescription     {User, OdbcIni,         "Description",     Text, nullptr, PerKey};
inline constexpr SettingKey DsnSourceDB        {User, OdbcIni,         "SourceDB",        Text, nullptr, PerKey};
inline constexpr SettingKey DsnSourceType      {User, OdbcIni,         "SourceType",      Text, nullptr, PerKey};
inline constexpr SettingKey DsnExclusive       {User, OdbcIni,         "Exclusive",       Text, nullptr, PerKey};
inline constexpr SettingKey DsnBackgroundFetch {User, OdbcIni,         "BackgroundFetch", Text, nullptr, PerKey};
inline constexpr SettingKey DsnCollate         {User, OdbcIni,         "Collate",         Text, nullptr, PerKey};
inline constexpr SettingKey DsnSetNoCountOn    {User, OdbcIni,         "SetNoCountOn",    Text, nullptr, PerKey};
inline constexpr SettingKey DsnServer          {User, OdbcIni,         "Server",          Text, nullptr, PerKey};
inline constexpr SettingKey DsnDatabase        {User, OdbcIni,         "Database",        Text, nullptr, PerKey};
inline constexpr SettingKey DsnLastUser        {User, OdbcIni,         "LastUser",        Text, nullptr, PerKey};

} // namespace SettingsKeys
