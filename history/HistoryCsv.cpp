#include "history/HistoryCsv.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

void AppendRow(std::string& out, const AnswerRecord& record) {
    out += std::to_string(record.atMs);
    out += ',';
    out += HistoryCsv::Field(record.mode);
    out += ',';
    if (record.played != 0) {
        out += HistoryCsv::Field(std::string(1, record.played));
    }
    out += ',';
    if (record.typed != 0) {
        out += HistoryCsv::Field(std::string(1, record.typed));
    }
    out += ',';
    if (record.responseMs >= 0) {
        out += std::to_string(record.responseMs);
    }
    out += "\r\n";
}

} // namespace

std::string HistoryCsv::Field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    quoted += '"';
    return quoted;
}

std::string HistoryCsv::Format(const std::vector<AnswerRecord>& records) {
    std::string out = kHeader;
    out += "\r\n";
    out.reserve(out.size() + records.size() * 32);
    for (const AnswerRecord& record : records) {
        AppendRow(out, record);
    }
    return out;
}

bool HistoryCsv::Write(const std::string& path, const std::vector<AnswerRecord>& records, std::string& error) {
    const std::string text = Format(records);
    const std::string partial = path + ".part";
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        if (!file) {
            error = "Impossible de créer le fichier " + path + " : " + std::strerror(errno);
            return false;
        }
        file.write(text.data(), static_cast<std::streamsize>(text.size()));
        file.flush();
        if (!file) {
            error = "Impossible d'écrire le fichier " + path + " (disque plein ?)";
            file.close();
            std::remove(partial.c_str());
            return false;
        }
    }
    std::error_code code;
    std::filesystem::rename(partial, path, code);
    if (code) {
        error = "Impossible de remplacer le fichier " + path + " : " + code.message();
        std::remove(partial.c_str());
        return false;
    }
    return true;
}
