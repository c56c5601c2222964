¥ï»¿// mine
user_pref("a", 1); user_pref("b", "x;y");

user_pref("c", false);  // note
