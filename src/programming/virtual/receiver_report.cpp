#include "programming/virtual/receiver_report.h"

#include <cstdio>

namespace lumora {

namespace {

std::string Number(std::uint64_t value) {
  return std::to_string(value);
}

std::string Hex16(std::uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(value));
  return text;
}

// The report's words in one language: every text is given in both, side by side.
class Words {
 public:
  explicit Words(UiLanguage language) : english_(language == UiLanguage::English) {}
  const char* operator()(const char* polish, const char* english) const {
    return english_ ? english : polish;
  }

 private:
  bool english_;
};

const char* OutcomeText(TransferOutcome outcome, const Words& say) {
  switch (outcome) {
    case TransferOutcome::NoPackets:
      return say("brak pakietów", "no packets");
    case TransferOutcome::InProgress:
      return say("transmisja niezakończona", "transfer incomplete");
    case TransferOutcome::Complete:
      return say("transmisja kompletna, suma kontrolna obrazu zgodna",
                 "transfer complete, image checksum matches");
    case TransferOutcome::MissingPages:
      return say("BŁĄD: brak stron", "ERROR: pages missing");
    case TransferOutcome::BadImageChecksum:
      return say("BŁĄD: suma kontrolna obrazu niezgodna", "ERROR: image checksum does not match");
  }
  return "";
}

const char* CheckText(Check check, const Words& say) {
  return check == Check::Good ? "OK" : say("BŁĄD", "ERROR");
}

std::string VerdictLine(const PacketVerdict& verdict, const Words& say) {
  std::string line = Number(verdict.Packet) + say(": strona ", ": page ") + Number(verdict.Page);
  if (verdict.Page == kFinalPageNumber) line += say(" (końcowa)", " (final)");
  line += say(", sloty ", ", slots ") + Number(verdict.Slots);
  if (verdict.Header == Check::NotChecked) {
    return line + say(", za krótka ramka, pakiet odrzucony", ", frame too short, packet dropped");
  }
  line += say(", nagłówek ", ", header ") + std::string(CheckText(verdict.Header, say));
  line += say(", strona ", ", page ") + std::string(CheckText(verdict.PageData, say));
  if (verdict.Image != Check::NotChecked) {
    line += say(", obraz ", ", image ") + std::string(CheckText(verdict.Image, say));
  }
  if (!verdict.AddressRepeated) line += say(", adres niespójny", ", address inconsistent");
  const bool pageNumberValid = verdict.Page <= kLastPageNumber || verdict.Page == kFinalPageNumber;
  if (!pageNumberValid) line += say(", zły numer strony", ", bad page number");
  return line + (verdict.Stored ? say(", strona zapisana", ", page stored")
                                : say(", pakiet odrzucony", ", packet dropped"));
}

// Missing pages as runs: "5, 17-19".
std::string MissingPages(const ReceivedTransfer& received, const Words& say) {
  std::string list;
  const std::size_t pages = received.PageArrived.size();
  for (std::size_t page = 0; page < pages; ++page) {
    if (received.PageArrived[page]) continue;
    std::size_t last = page;
    while (last + 1 < pages && !received.PageArrived[last + 1]) ++last;
    if (!list.empty()) list += ", ";
    list += Number(page) + (last > page ? "-" + Number(last) : "");
    page = last;
  }
  return list.empty() ? say("brak", "none") : list;
}

}  // namespace

std::string FormatReceiverReport(const ReceivedTransfer& received, UiLanguage language) {
  const Words say(language);
  std::size_t pages = 0;
  for (bool arrived : received.PageArrived) pages += arrived ? 1 : 0;

  std::string text = say("Wirtualny programator Lumora: raport odbioru\n",
                         "Lumora virtual programmer: reception report\n");
  text += say("Ramki: bloki USB ", "Frames: USB blocks ") + Number(received.UsbBlocks) +
          say(", ramki DMX ", ", DMX frames ") + Number(received.StandardFrames) +
          say(", puste ", ", empty ") + Number(received.IdleFrames) +
          say(", bez sygnatury ", ", without signature ") + Number(received.ForeignFrames) +
          say("; zapisy poza ramkami ", "; writes outside frames ") + Number(received.StrayWrites) +
          "\n";
  text += say("Transmisje kompletne: ", "Complete transfers: ") +
          Number(received.CompletedTransfers) + "\n";
  text += say("Pakiety: ", "Packets: ") + Number(received.Packets) +
          say(" (za krótkie ", " (too short ") + Number(received.CutShort) +
          say(", zły numer strony ", ", bad page number ") + Number(received.BadPageNumbers) +
          ")\n";
  text += say("Strony: ", "Pages: ") + Number(pages) + say(" z ", " of ") +
          Number(kTransferPackets) + "\n";
  // The final packet carries page kFinalPageNumber but counts as the last of the pages.
  text += say("Brakujące strony (", "Missing pages (") + Number(kTransferPackets - 1) +
          say(" = końcowa): ", " = final): ") + MissingPages(received, say) + "\n";
  if (received.LastSettings) {
    const ReceivedSettings& settings = *received.LastSettings;
    text += say("Adres docelowy: ", "Target address: ") + Number(settings.TargetAddress) +
            (settings.TargetAddress == 0 ? say(" (wszystkie sterowniki)\n", " (all controllers)\n")
                                         : "\n");
    text += say("Program solo: ", "Solo program: ") + Number(settings.SoloProgram) +
            say(", prędkość: ", ", speed: ") + Number(settings.SoloSpeed) +
            say(", liczba tub: ", ", tubes: ") + Number(settings.TubeCount) + "\n";
  } else {
    text += say("Adres docelowy: -\nProgram solo: -\n", "Target address: -\nSolo program: -\n");
  }
  const auto counts = [&say](const char* polish, const char* english, std::uint64_t good,
                             std::uint64_t bad) {
    return say(polish, english) + std::string(say(": dobre ", ": good ")) + Number(good) +
           say(", złe ", ", bad ") + Number(bad);
  };
  text += counts("Sumy kontrolne nagłówka", "Header checksums", received.GoodHeaders,
                 received.BadHeaders) +
          "\n";
  text += counts("Sumy kontrolne strony", "Page checksums", received.GoodPages, received.BadPages) +
          "\n";
  text +=
      counts("Sumy kontrolne obrazu", "Image checksums", received.GoodImages, received.BadImages);
  if (received.GoodImages + received.BadImages > 0) {
    text += say("; ostatnia przesłana ", "; last sent ") + Hex16(received.ImageChecksumSent) +
            say(", obliczona ", ", computed ") + Hex16(received.ImageChecksumComputed);
  }
  text += "\n";
  text += say("Wynik: ", "Outcome: ") + std::string(OutcomeText(received.Outcome, say)) + "\n";
  text += say("Pakiety po kolei:\n", "Packets in order:\n");
  for (const PacketVerdict& verdict : received.Verdicts) text += VerdictLine(verdict, say) + "\n";
  return text;
}

}  // namespace lumora
