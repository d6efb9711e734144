#pragma once

#include <string>

namespace kelbo::testing {

// A record as the guide add-in writes it (all keys, CR LF), for building
// schedule files in tests.
struct GuideRecord {
    std::string name = "News";
    std::string time = "18:00";
    std::string date = "01-02-2003";
    std::string channelNumber = "101";
    std::string channelName = "Main";
    std::string duration = "30";
    std::string category;
    std::string description;
    std::string templateName;  // empty: no template line

    std::string text() const {
        std::string t = "ProgrammeName: " + name + "\r\n" + "StartTime    : " + time + "\r\n" +
                        "StartDate    : " + date + "\r\n" + "ChannelNumber: " + channelNumber +
                        "\r\n" + "ChannelName  : " + channelName + "\r\n" +
                        "Duration     : " + duration + "\r\n" + "Category     : " + category +
                        "\r\n" + "ReminderID   : 0\r\nSmartSearchID: 0\r\nFavouriteID  : 0\r\n" +
                        "Description  : " + description + "\r\n";
        if (!templateName.empty()) t += "Template     : " + templateName + "\r\n";
        return t + "----------BREAK----------\r\n";
    }
};

}  // namespace kelbo::testing
