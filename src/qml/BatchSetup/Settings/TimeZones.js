.pragma library

// Device-pack time-zone index -> the text the time-zone box shows.
var texts = {
    "-480": "GMT-12:00 Eniwetok, Kwajalein",
    "-440": "GMT-11:00 Midway Island, Samoa",
    "-400": "GMT-10:00 Hawaii",
    "-360": "GMT-09:00 Alaska",
    "-320": "GMT-08:00 Las Vegas, San Francisco, Vancouver",
    "-280": "GMT-07:00 Mountain Time, Denver",
    "-281": "GMT-07:00 Arizona",
    "-240": "GMT-06:00 Central Time (US and Canada)",
    "-241": "GMT-06:00 Mexico City",
    "-242": "GMT-06:00 Saskatchewan",
    "-200": "GMT-05:00 Eastern Time, New York, Toronto",
    "-201": "GMT-05:00 Bogota, Lima, Quito, Indiana",
    "-180": "GMT-04:30 Caracas",
    "-160": "GMT-04:00 Atlantic Time(Canada), La Paz",
    "-140": "GMT-03:30 Newfoundland",
    "-120": "GMT-03:00 Brasilia, Buenos Aires, Georgetown, Greenland, Sao Paulo, Santiago",
    "-80": "GMT-02:00 Mid-Atlantic",
    "-40": "GMT-01:00 Azores, Cape Verde Is.",
    "0": "GMT Casablanca, Greenwich Mean Time:Dublin, Edinburgh, Lisbon, London",
    "40": "GMT+01:00 Amsterdam, Berlin, Rome, Stockholm, Vienna, Madrid, Paris",
    "41": "GMT+01:00 Warsaw, Budapest, Bern",
    "80": "GMT+02:00 Athens, Helsinki, Istanbul, Riga",
    "81": "GMT+02:00 Cairo",
    "82": "GMT+02:00 Lebanon",
    "83": "GMT+02:00 Israel",
    "120": "GMT+03:00 Baghdad, Kuwait, Riyadh, Nairobi",
    "121": "GMT+03:00 Iraq, Minsk, Moscow",
    "140": "GMT+03:30 Tehran",
    "160": "GMT+04:00 Abu Dhabi, Muscat, Baku, Tbilisi, Yerevan, St. Petersburg",
    "180": "GMT+04:30 Kabul",
    "200": "GMT+05:00 Islamabad, Karachi, Tashkent, Ekaterinburg",
    "220": "GMT+05:30 Calcutta, Chennai, Mumbai, New Delhi",
    "230": "GMT+05:45 Kathmandu",
    "240": "GMT+06:00 Almaty, Astana, Dhaka, Sri Jayewardenepura, Novosibirsk",
    "260": "GMT+06:30 Rangoon",
    "280": "GMT+07:00 Bangkok, Hanoi, Jakarta, Krasnoyarsk",
    "320": "GMT+08:00 Beijing, Chongqing, Hong Kong, Kuala Lumpur, Singapore, Taipei",
    "360": "GMT+09:00 Osaka, Sapporo, Tokyo, Seoul, Yakutsk",
    "380": "GMT+09:30 Adelaide, Darwin",
    "400": "GMT+10:00 Brisbane, Canberra, Melbourne, Sydney, Guam",
    "401": "GMT+10:00 Vladivostok",
    "440": "GMT+11:00 Magadan, Solomon Is., New Caledonia",
    "480": "GMT+12:00 Auckland, Wellington, Fiji, Marshall Is.",
    "481": "GMT+12:00 Kamchatka",
    "520": "GMT+13:00 Nuku'alofa"
};

// The zones that observe daylight saving time.
var daylightZones = ["-360", "-320", "-280", "-240", "-241", "-200", "-201", "-160", "-140", "-120",
                     "-80", "-40", "0", "40", "41", "80", "81", "82", "83", "120", "140", "380",
                     "400", "480"];

function valueOf(text) {
    for (var k in texts) {
        if (texts[k] === text)
            return k;
    }
    return text;
}

function hasDaylight(value) {
    return daylightZones.indexOf(String(value)) >= 0;
}
