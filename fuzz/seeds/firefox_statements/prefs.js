// Mozilla User Preferences

user_pref("browser.startup.homepage", "http://a/?x=1;y=(2)&q=\"z\"");
user_pref("ui.submenuDelay", 300);
/* c */ user_pref("b", true);
# hash
user_pref('s', '\u00e9\x41');
pref("p", -1, locked);
