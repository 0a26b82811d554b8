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

const char* OutcomeText(TransferOutcome outcome) {
  switch (outcome) {
    case TransferOutcome::NoPackets:
      return "brak pakietów";
    case TransferOutcome::InProgress:
      return "transmisja niezakończona";
    case TransferOutcome::Complete:
      return "transmisja kompletna, suma kontrolna obrazu zgodna";
    case TransferOutcome::MissingPages:
      return "BŁĄD: brak stron";
    case TransferOutcome::BadImageChecksum:
      return "BŁĄD: suma kontrolna obrazu niezgodna";
  }
  return "";
}

const char* CheckText(Check check) {
  return check == Check::Good ? "OK" : "BŁĄD";
}

std::string VerdictLine(const PacketVerdict& verdict) {
  std::string line = Number(verdict.Packet) + ": strona " + Number(verdict.Page);
  if (verdict.Page == kFinalPageNumber) line += " (końcowa)";
  line += ", sloty " + Number(verdict.Slots);
  if (verdict.Header == Check::NotChecked) return line + ", za krótka ramka, pakiet odrzucony";
  line += std::string(", nagłówek ") + CheckText(verdict.Header);
  line += std::string(", strona ") + CheckText(verdict.PageData);
  if (verdict.Image != Check::NotChecked)
    line += std::string(", obraz ") + CheckText(verdict.Image);
  if (!verdict.AddressRepeated) line += ", adres niespójny";
  const bool pageNumberValid = verdict.Page <= kLastPageNumber || verdict.Page == kFinalPageNumber;
  if (!pageNumberValid) line += ", zły numer strony";
  return line + (verdict.Stored ? ", strona zapisana" : ", pakiet odrzucony");
}

// Missing pages as runs: "5, 17-19".
std::string MissingPages(const ReceivedTransfer& received) {
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
  return list.empty() ? "brak" : list;
}

}  // namespace

std::string FormatReceiverReport(const ReceivedTransfer& received) {
  std::size_t pages = 0;
  for (bool arrived : received.PageArrived) pages += arrived ? 1 : 0;

  std::string text = "Wirtualny programator Lumora: raport odbioru\n";
  text += "Ramki: bloki USB " + Number(received.UsbBlocks) + ", ramki DMX " +
          Number(received.StandardFrames) + ", puste " + Number(received.IdleFrames) +
          ", bez sygnatury " + Number(received.ForeignFrames) + "; zapisy poza ramkami " +
          Number(received.StrayWrites) + "\n";
  text += "Transmisje kompletne: " + Number(received.CompletedTransfers) + "\n";
  text += "Pakiety: " + Number(received.Packets) + " (za krótkie " + Number(received.CutShort) +
          ", zły numer strony " + Number(received.BadPageNumbers) + ")\n";
  text += "Strony: " + Number(pages) + " z " + Number(kTransferPackets) + "\n";
  // The final packet carries page kFinalPageNumber but counts as the last of the pages.
  text += "Brakujące strony (" + Number(kTransferPackets - 1) +
          " = końcowa): " + MissingPages(received) + "\n";
  if (received.LastSettings) {
    const ReceivedSettings& settings = *received.LastSettings;
    text += "Adres docelowy: " + Number(settings.TargetAddress) +
            (settings.TargetAddress == 0 ? " (wszystkie sterowniki)\n" : "\n");
    text += "Program solo: " + Number(settings.SoloProgram) +
            ", prędkość: " + Number(settings.SoloSpeed) +
            ", liczba tub: " + Number(settings.TubeCount) + "\n";
  } else {
    text += "Adres docelowy: -\nProgram solo: -\n";
  }
  text += "Sumy kontrolne nagłówka: dobre " + Number(received.GoodHeaders) + ", złe " +
          Number(received.BadHeaders) + "\n";
  text += "Sumy kontrolne strony: dobre " + Number(received.GoodPages) + ", złe " +
          Number(received.BadPages) + "\n";
  text += "Sumy kontrolne obrazu: dobre " + Number(received.GoodImages) + ", złe " +
          Number(received.BadImages);
  if (received.GoodImages + received.BadImages > 0) {
    text += "; ostatnia przesłana " + Hex16(received.ImageChecksumSent) + ", obliczona " +
            Hex16(received.ImageChecksumComputed);
  }
  text += "\n";
  text += std::string("Wynik: ") + OutcomeText(received.Outcome) + "\n";
  text += "Pakiety po kolei:\n";
  for (const PacketVerdict& verdict : received.Verdicts) text += VerdictLine(verdict) + "\n";
  return text;
}

}  // namespace lumora
