INSERT INTO GelirGider (IslemTuru, Gun, Ay, Yil, IslemTutari, KdvOrani) VALUES ('Gelir', '7', '3', '2019', '12.500000', '18');
INSERT INTO GGKategori (IslemTuru, KalemAdi) VALUES ('Gider', 'Kira');
INSERT INTO Kisiler (AdSoyad, KanGurubu) VALUES ('Ayşe Işık', '0 Rh+');
INSERT INTO Linkler (Baslik, Link, Notlar) VALUES ('Ali''nin Yeri', 'https://örnek.com.tr', 'Çarşı
Şişli');
INSERT INTO Parolalar (UyelikYeri, Parola) VALUES ('Banka', 'gizli;''--');
SELECT * FROM GelirGider; SELECT * FROM GGKategori; SELECT * FROM Kisiler; SELECT * FROM Linkler; SELECT * FROM Parolalar;
