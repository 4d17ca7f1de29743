#include "phonesim/demo_state.h"

#include <cstdio>
#include <vector>

#include <nlohmann/json.hpp>

#include "phonesim/charset.h"

namespace PhoneSim {
namespace {

using nlohmann::json;

constexpr std::string_view kServiceCentre = "+447700900000";

std::string HexByte(int value) {
  char text[9];
  std::snprintf(text, sizeof text, "%02X", value & 0xFF);
  return text;
}

// Digits in swapped nibbles, an odd count padded with F.
std::string SwappedDigits(std::string_view digits) {
  std::string out;
  for (size_t i = 0; i < digits.size(); i += 2) {
    out += i + 1 < digits.size() ? digits[i + 1] : 'F';
    out += digits[i];
  }
  return out;
}

std::string Digits(std::string_view number) {
  return std::string(number.starts_with('+') ? number.substr(1) : number);
}

int TypeOf(std::string_view number) { return number.starts_with('+') ? 0x91 : 0x81; }

// TP-OA / TP-DA / TP-RA: the count of digits, the type, the digits.
std::string Address(std::string_view number) {
  const std::string digits = Digits(number);
  return HexByte(static_cast<int>(digits.size())) + HexByte(TypeOf(number)) + SwappedDigits(digits);
}

// GSM 07.05: the length in octets of the type and digits, then them.
std::string ServiceCentre() {
  const std::string digits = Digits(kServiceCentre);
  return HexByte(static_cast<int>(1 + (digits.size() + 1) / 2)) + HexByte(TypeOf(kServiceCentre)) +
         SwappedDigits(digits);
}

std::string Timestamp(std::string_view stamp) { return SwappedDigits(stamp) + "00"; }

struct CUserData {
  int coding = 0;  // TP-DCS
  int length = 0;  // TP-UDL: septets for the default alphabet, else octets
  std::string hex;
};

// The header sits in front of the septets, which start on the next septet boundary.
CUserData UserData(const DemoMessage& message) {
  std::vector<int> header;
  if (message.parts > 1) {
    header = {5, 0x00, 3, message.reference & 0xFF, message.parts, message.part};
  }
  CUserData data;
  if (const auto septets = EncodeText(message.text, "GSM")) {
    std::vector<bool> bits;
    for (const int octet : header)
      for (int bit = 0; bit < 8; ++bit) bits.push_back((octet >> bit) & 1);
    while (bits.size() % 7) bits.push_back(false);
    for (const char septet : *septets)
      for (int bit = 0; bit < 7; ++bit)
        bits.push_back((static_cast<unsigned char>(septet) >> bit) & 1);
    data.length = static_cast<int>(bits.size() / 7);
    for (size_t i = 0; i < bits.size(); i += 8) {
      int octet = 0;
      for (size_t bit = 0; bit < 8 && i + bit < bits.size(); ++bit) octet |= bits[i + bit] << bit;
      data.hex += HexByte(octet);
    }
    return data;
  }
  data.coding = 0x08;
  for (const int octet : header) data.hex += HexByte(octet);
  data.hex += EncodeTextLossy(message.text, "UCS2");
  data.length = static_cast<int>(data.hex.size() / 2);
  return data;
}

json Entry(int index, std::string number, std::string name, std::string time = {}) {
  json entry = {{"index", index}, {"number", number}, {"name", name}};
  if (!time.empty()) entry["time"] = time;
  return entry;
}

json Book(const char* name, int size, int numberLength, int nameLength, json entries) {
  return {{"name", name},
          {"size", size},
          {"numberLength", numberLength},
          {"nameLength", nameLength},
          {"entries", std::move(entries)}};
}

json Contacts(const std::vector<std::pair<std::string, std::string>>& people, int first) {
  json entries = json::array();
  int index = first;
  for (const auto& [name, number] : people) entries.push_back(Entry(index++, number, name));
  return entries;
}

}  // namespace

std::string DeliverPdu(const DemoMessage& message) {
  const CUserData data = UserData(message);
  const int firstOctet = 0x04 | (message.parts > 1 ? 0x40 : 0);
  return ServiceCentre() + HexByte(firstOctet) + Address(message.address) + "00" +
         HexByte(data.coding) + Timestamp(message.timestamp) + HexByte(data.length) + data.hex;
}

std::string SubmitPdu(const DemoMessage& message) {
  const CUserData data = UserData(message);
  // A relative validity period of four days.
  const int firstOctet = 0x11 | (message.parts > 1 ? 0x40 : 0);
  return "00" + HexByte(firstOctet) + "00" + Address(message.address) + "00" +
         HexByte(data.coding) + "AA" + HexByte(data.length) + data.hex;
}

std::string StatusReportPdu(int reference, std::string_view address, std::string_view sent,
                            std::string_view delivered) {
  return ServiceCentre() + "06" + HexByte(reference) + Address(address) + Timestamp(sent) +
         Timestamp(delivered) + "00";
}

json DemoStateJson() {
  const std::vector<std::pair<std::string, std::string>> simPeople = {
      {"Anna Schmidt", "+4930901820"},   {"Bob Miller", "+447700900123"},
      {"Café Zoë", "01632960123"},       {"José Núñez", "+34600123456"},
      {"Søren Ågård", "+4520123456"},    {"Jürgen Müller", "+491701234567"},
      {"Łukasz Wójcik", "+48501234567"}, {"Иван Петров", "+79161234567"},
      {"Мария Иванова", "+79031112233"}, {"Ольга Смирнова", "+380501234567"},
      {"Сергей", "+375291234567"},       {"Γιώργος Νικολάου", "+306912345678"},
      {"Ελένη", "+306944556677"},        {"Νίκος Παππάς", "+35799123456"},
      {"Voicemail", "+447700900555"},    {"Balance", "*100#"},
      {"Taxi", "08001234567"},           {"Dr. Ana Popescu", "+40721234567"},
  };
  const std::vector<std::pair<std::string, std::string>> phonePeople = {
      {"Office reception", "+441632960000"},
      {"Emergency", "112"},
      {"Dmitri Sokolov (work)", "+74951234567"},
      {"Александр Кузнецов", "+79261234567"},
      {"Наталья Волкова", "+79857654321"},
      {"Παναγιώτης Κωνσταντίνου", "+302101234567"},
      {"Αθηνά", "+306971112233"},
      {"François Lefèvre", "+33612345678"},
      {"Ingrid Øvrebø", "+4791234567"},
      {"Zoltán Kovács", "+36301234567"},
      {"Şule Yılmaz", "+905321234567"},
      {"Plumber, Mr. O'Neill", "+353861234567"},
      {"Pizza \"Napoli\"", "+390612345678"},
      {"Grandma", "+441632960777"},
  };
  json books = json::array();
  books.push_back(Book("SM", 250, 40, 18, Contacts(simPeople, 1)));
  books.push_back(Book("ME", 500, 40, 30, Contacts(phonePeople, 1)));
  books.push_back(Book("DC", 10, 40, 18,
                       {Entry(1, "+447700900123", "Bob Miller", "2026-12-07 18:42:10"),
                        Entry(2, "+79161234567", "Иван Петров", "2026-12-07 12:05:44"),
                        Entry(3, "08001234567", "Taxi", "2026-12-06 23:17:02"),
                        Entry(4, "+306912345678", "Γιώργος Νικολάου", "2026-12-05 09:30:00")}));
  books.push_back(Book("MC", 10, 40, 18,
                       {Entry(1, "+4930901820", "Anna Schmidt", "2026-12-07 20:01:15"),
                        Entry(2, "+441632960999", "", "2026-12-07 07:55:31"),
                        Entry(3, "+79031112233", "Мария Иванова", "2026-12-04 16:20:00")}));
  books.push_back(Book("RC", 10, 40, 18,
                       {Entry(1, "+34600123456", "José Núñez", "2026-12-07 19:12:48"),
                        Entry(2, "+447700900555", "Voicemail", "2026-12-06 10:00:05"),
                        Entry(3, "+306944556677", "Ελένη", "2026-12-03 21:45:30")}));

  const std::string longText =
      "Hi all! The plan for Saturday: we meet at 10:00 at the north entrance of the park, "
      "bring sandwiches and something to drink. If it rains we go to the museum instead and "
      "have lunch at the cafe on the corner. Anna brings the football, Bob the frisbee. "
      "Children under 12 get in free at the museum, adults pay 8 EUR. Please answer by Thursday "
      "so that I can book a table for everyone. See you!";
  json sim = json::array();
  int index = 1;
  const auto add = [](json& storage, int& at, int status, std::string pdu) {
    storage.push_back({{"index", at++}, {"status", status}, {"pdu", std::move(pdu)}});
  };
  const std::vector<DemoMessage> received = {
      {"+447700900123", "Running 10 minutes late, sorry!", "261207183000"},
      {"+4930901820", "Danke für die Blumen! Grüße aus Köln", "261207120501"},
      {"+79161234567", "Привет! Встречаемся завтра в 7 у метро.", "261206210000"},
      {"+306912345678", "Καλημέρα! Τα λέμε αύριο στο γραφείο.", "261206081522"},
      {"+34600123456", "¿Vienes a la cena del viernes?", "261205194410"},
      {"+79031112233", "Спасибо, всё получила.", "261205101010"},
      {"+447700900555", "You have 2 new voice messages. Call 121 to listen.", "261204090000"},
      {"+48501234567", "Dzięki za pomoc z przeprowadzką!", "261203174500"},
      {"+4520123456", "Vi ses på fredag. Hilsen Søren", "261203120000"},
      {"+35799123456", "Ευχαριστώ πολύ για όλα!", "261202203000"},
  };
  for (size_t i = 0; i < received.size(); ++i)
    add(sim, index, i < 3 ? 0 : 1, DeliverPdu(received[i]));
  // The long message in three parts of 153 characters at most.
  for (int part = 1; part <= 3; ++part) {
    const size_t start = static_cast<size_t>(part - 1) * 153;
    DemoMessage piece{"+441632960777", longText.substr(start, 153), "261207090000", 0x4A, 3, part};
    add(sim, index, 1, DeliverPdu(piece));
  }
  add(sim, index, 1, StatusReportPdu(7, "+447700900123", "261207183500", "261207183512"));
  add(sim, index, 2, SubmitPdu({"+447700900123", "Don't forget the keys!", ""}));
  add(sim, index, 3, SubmitPdu({"+79161234567", "Хорошо, до встречи!", ""}));
  add(sim, index, 3, SubmitPdu({"+4930901820", "Happy birthday, Anna!", ""}));

  json me = json::array();
  int meIndex = 1;
  const std::vector<DemoMessage> archive = {
      {"+441632960000", "Your parcel 4711 arrives tomorrow between 9 and 12.", "261130100000"},
      {"+33612345678", "Bonne année ! À bientôt, François", "260101000500"},
      {"+74951234567", "Отчёт отправлен, проверьте почту.", "261128143000"},
      {"+302101234567", "Η συνάντηση μεταφέρθηκε για την Τρίτη.", "261127111500"},
      {"+36301234567", "Köszönöm a segítséget!", "261126160000"},
      {"+905321234567", "Yarın görüşürüz, iyi akşamlar.", "261125200000"},
      {"+353861234567", "I'll be there at 8 to fix the boiler.", "261124073000"},
      {"+390612345678", "Your order: 2 x Margherita, 1 x Diavola. 25 minutes.", "261123193000"},
      {"+4791234567", "Takk for sist!", "261122213000"},
      {"+380501234567", "Дякую! Все добре.", "261121121200"},
  };
  for (const DemoMessage& message : archive) add(me, meIndex, 1, DeliverPdu(message));
  add(me, meIndex, 2, SubmitPdu({"+302101234567", "Εντάξει, θα είμαι εκεί.", ""}));

  json state = {{"profile", "classic"},
                {"clock", "26/12/08,09:00:00+00"},
                {"serviceCentre", std::string(kServiceCentre)},
                {"phoneBooks", std::move(books)},
                {"messageStorages",
                 json::array({{{"name", "SM"}, {"size", 40}, {"messages", std::move(sim)}},
                              {{"name", "ME"}, {"size", 150}, {"messages", std::move(me)}}})},
                {"nextReference", 8}};
  return state;
}

}  // namespace PhoneSim
